// Compiled as the window framework's own sources are, with its include directories and those its
// libraries give it. The framework reaches Qt only through its backend's interface, so this
// include must not be found.
#include <QWidget>
