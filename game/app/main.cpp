// kivra: the program's entry. Registers the linked resources and runs the application.
#include "game/control/game_app.h"
#include "game/res/game_resources.h"
#include "platform/mm/audio.h"
#include "platform/shell/shell.h"

#ifdef KIVRA_HAVE_RESOURCES
void RegisterKivraResources();
#endif

int main(int argc, char** argv) {
#ifdef KIVRA_HAVE_RESOURCES
    RegisterKivraResources();
#endif
    RegisterGameResources();
    CGameApp app;
    const int status = AfxWinMain(argc, argv);
    CloseHelpViewers();
    mm::CloseAudio();
    return status;
}
