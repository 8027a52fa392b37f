// WindowImpl: creation of top-level windows and controls, geometry, surfaces, presentation.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolTip>
#include <QValidator>
#include <cmath>
#include <set>

#include "platform/crt/codepage.h"
#include "platform/qt/widgets.h"

namespace afx {
namespace {

std::set<const WindowImpl*>& LiveWindows() {
    static std::set<const WindowImpl*> live;
    return live;
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Static controls show '&' as a mnemonic prefix: "&&" is a literal '&', a lone '&' is dropped.
QString StaticText(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return Q(out);
}

// Edit controls limit their text by its length in code page 936 bytes.
class Cp936LimitValidator : public QValidator {
  public:
    Cp936LimitValidator(WindowImpl* impl, QObject* parent) : QValidator(parent), impl_(impl) {}
    State validate(QString& input, int&) const override {
        const QByteArray utf8 = input.toUtf8();
        if (crt::Cp936Length(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))) >
            impl_->editLimit)
            return Invalid;
        return Acceptable;
    }

  private:
    WindowImpl* impl_;
};

// A report-style list view. Selecting a row makes it visible by scrolling up or down only:
// the columns stay where they are, so the first column is never cut off by a click.
class ReportList : public QTableWidget {
  public:
    using QTableWidget::QTableWidget;
    void scrollTo(const QModelIndex& index, ScrollHint hint) override {
        const int column = horizontalScrollBar()->value();
        QTableWidget::scrollTo(index, hint);
        horizontalScrollBar()->setValue(column);
    }
};

// A drop-down list combo box is one line tall, as on every desktop; the height its template
// gives is that of the control with its list opened.
constexpr int kComboHeight = 20;

// Icons are the program's own pixels: on a screen with several device pixels to a logical
// pixel each icon pixel becomes a block of whole device pixels, never a smoothed blend.
QPixmap CrispPixmap(HICON icon, qreal deviceRatio) {
    QPixmap pixmap = PixmapFromIcon(icon);
    const int factor = static_cast<int>(std::ceil(deviceRatio - 0.01));
    if (pixmap.isNull() || factor <= 1) return pixmap;
    QPixmap scaled =
        pixmap.scaled(pixmap.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled.setDevicePixelRatio(factor);
    return scaled;
}

}  // namespace

std::vector<WindowImpl*> TopLevelWindows() {
    std::vector<WindowImpl*> out;
    for (const WindowImpl* w : LiveWindows())
        if (w->topLevel && !w->destroyed) out.push_back(const_cast<WindowImpl*>(w));
    return out;
}

QPixmap PixmapFromIcon(HICON icon) {
    const gdi::IconImage* img = GetIconImage(icon);
    if (!img || img->width <= 0 || img->height <= 0) return QPixmap();
    QImage image(img->width, img->height, QImage::Format_ARGB32);
    for (int y = 0; y < img->height; ++y) {
        for (int x = 0; x < img->width; ++x) {
            const size_t i = static_cast<size_t>(y) * img->width + x;
            uint32_t argb = i < img->argb.size() ? img->argb[i] : 0;
            const bool transparent = i < img->andMask.size() && img->andMask[i];
            if ((argb >> 24) == 0 && !transparent) argb |= 0xFF000000u;  // icons without alpha
            if (transparent && (argb >> 24) == 0xFF) argb &= 0x00FFFFFFu;
            image.setPixel(x, y, argb);
        }
    }
    return QPixmap::fromImage(image);
}

QFont DialogFont() {
    QFont f(QStringLiteral("AR PL UMing CN"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QFont FontFromCFont(CFont* font) {
    LOGFONT lf{};
    if (!font || !font->GetLogFont(&lf)) return DialogFont();
    const std::string face(lf.lfFaceName);
    QFont f;
    if (face == "宋体" || face == "SimSun" || face == "MS Shell Dlg" || face == "AR PL UMing")
        f = QFont(QStringLiteral("AR PL UMing CN"));
    else
        f = QFont(QStringLiteral("Unifont"));
    int px = lf.lfHeight < 0 ? -lf.lfHeight : (lf.lfHeight > 0 ? lf.lfHeight : 12);
    f.setPixelSize(px);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    f.setItalic(lf.lfItalic != 0);
    f.setBold(lf.lfWeight >= FW_BOLD);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// ---- FrameWidget / ClientWidget ----

FrameWidget::FrameWidget(WindowImpl* i, QWidget* owner)
    : QWidget(owner, owner ? Qt::Dialog : Qt::Window), impl(i) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FrameWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    // The caption's close box: SC_CLOSE, then WM_CLOSE through the default handling.
    if (impl && impl->wnd) PostWindowMessage(impl, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void FrameWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || applyingState || !impl || !impl->wnd) return;
    // The windows keep their size: one without a maximise box is never maximised, whatever the
    // window manager offers.
    if (isMaximized() && !(impl->style & WS_MAXIMIZEBOX)) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        return;
    }
    // Nor is one without a minimise box minimised: a dialog hidden that way would leave its
    // owner disabled with nothing on the screen to say why.
    if (isMinimized() && !(impl->style & WS_MINIMIZEBOX)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                showNormal();
                raise();
                activateWindow();
            },
            Qt::QueuedConnection);
        return;
    }
    if (std::chrono::steady_clock::now() - lastOwnStateChange < std::chrono::seconds(1)) return;
    const bool minimised = isMinimized();
    if (minimised && !impl->iconic)
        PostWindowMessage(impl, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (!minimised && impl->iconic)
        PostWindowMessage(impl, WM_SYSCOMMAND, SC_RESTORE, 0);  // restored from the taskbar
}

// The player moved the window (by its title bar): its rectangle follows, so that boxes and
// dialogs opened later are centred where the window now is.
void FrameWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (!impl || !impl->topLevel || !isVisible() || isMinimized()) return;
    const QPoint p = pos();
    RECT& r = impl->rect;
    if (p.x() == r.left && p.y() == r.top) return;
    r = RECT{p.x(), p.y(), p.x() + (r.right - r.left), p.y() + (r.bottom - r.top)};
}

ClientWidget::ClientWidget(WindowImpl* i, QWidget* parent) : QWidget(parent), impl(i) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ClientWidget::paintEvent(QPaintEvent*) {
    if (!impl || !impl->surface) return;
    QPainter painter(this);
    gdi::Surface& s = *impl->surface;
    std::lock_guard<std::mutex> lock(s.Mutex());
    const QImage view(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                      s.Stride() * 4, QImage::Format_RGB32);
    // One surface pixel per logical pixel: Qt scales by the device-pixel ratio, unsmoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(0, 0, s.Width(), s.Height()), view);
}

static UINT MouseFlags(const QMouseEvent* e) {
    UINT flags = 0;
    if (e->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
    if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

static POINT PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return POINT{p.x(), p.y()};
}

void ClientWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONDOWN, PointOf(e), MouseFlags(e));
    else if (e->button() == Qt::RightButton)
        DeliverMouse(impl, WM_RBUTTONDOWN, PointOf(e), MouseFlags(e));
    ProcessPendingWork();
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONUP, PointOf(e), MouseFlags(e));
    else if (e->button() == Qt::RightButton)
        DeliverMouse(impl, WM_RBUTTONUP, PointOf(e), MouseFlags(e));
    ProcessPendingWork();
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONDBLCLK, PointOf(e), MouseFlags(e));
}

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
    DeliverMouse(impl, WM_MOUSEMOVE, PointOf(e), MouseFlags(e));
}

// ---- WindowImpl ----

WindowImpl::WindowImpl(CWnd* w, WindowImpl* p) : wnd(w), parent(p) {
    LiveWindows().insert(this);
    if (parent) parent->children.push_back(this);
}

WindowImpl::~WindowImpl() {
    LiveWindows().erase(this);
    PurgePosted(this);
    if (parent) {
        auto& c = parent->children;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
        if (parent->focus == this) parent->focus = nullptr;
        if (parent->pressedButton == this) parent->pressedButton = nullptr;
    }
}

WindowImpl* WindowImpl::FromHwnd(HWND h) {
    WindowImpl* impl = reinterpret_cast<WindowImpl*>(h);
    return IsLive(impl) ? impl : nullptr;
}

bool WindowImpl::IsLive(const WindowImpl* impl) { return impl && LiveWindows().count(impl) != 0; }

int WindowImpl::ClientWidth() const {
    int w = rect.right - rect.left - (topLevel ? 2 * BorderWidth() : 0);
    return w > 0 ? w : 0;
}

int WindowImpl::ClientHeight() const {
    int h = rect.bottom - rect.top -
            (topLevel ? 2 * BorderWidth() + CaptionHeight() + MenuBarHeight() : 0);
    return h > 0 ? h : 0;
}

POINT WindowImpl::ClientOrigin() const {
    if (topLevel || !parent)
        return POINT{rect.left + BorderWidth(),
                     rect.top + BorderWidth() + CaptionHeight() + MenuBarHeight()};
    POINT o = parent->ClientOrigin();
    return POINT{o.x + rect.left, o.y + rect.top};
}

void WindowImpl::CreateTopLevel(const DialogTemplate& t, WindowImpl* owner) {
    EnsureQt();
    topLevel = true;
    style = t.style;
    exStyle = t.exStyle;
    text = t.caption;
    if (t.menuId) {
        ownedMenu = std::make_unique<CMenu>();
        if (ownedMenu->LoadMenu(static_cast<UINT>(t.menuId)))
            menu = ownedMenu.get();
        else
            ownedMenu.reset();
    }
    ownedFont = std::make_unique<CFont>();
    ownedFont->CreatePointFont(t.pointSize * 10, t.fontName.c_str());
    font = ownedFont.get();

    // The system menu substitute.
    systemMenu = std::make_unique<CMenu>();
    systemMenu->CreatePopupMenu();
    systemMenu->AppendMenu(MF_STRING, SC_RESTORE, "还原(&R)");
    if (style & WS_MINIMIZEBOX) systemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, "最小化(&N)");
    systemMenu->AppendMenu(MF_SEPARATOR);
    systemMenu->AppendMenu(MF_STRING, SC_CLOSE, "关闭(&C)\tAlt+F4");

    const int cw = DialogUnitsToPixelsX(t.cx);
    const int ch = DialogUnitsToPixelsY(t.cy);
    const int w = cw + 2 * BorderWidth();
    const int h = ch + 2 * BorderWidth() + CaptionHeight() + MenuBarHeight();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    rect = RECT{(sw - w) / 2, (sh - h) / 2, (sw - w) / 2 + w, (sh - h) / 2 + h};

    surface = std::make_shared<gdi::Surface>(cw, ch);

    // An owned window is its owner's dialog: the window manager keeps it above the owner and
    // gives it no taskbar entry of its own. The caption's buttons are those the style asks for.
    QWidget* ownerFrame = owner && owner->frame ? owner->frame : nullptr;
    frame = new FrameWidget(this, ownerFrame);
    Qt::WindowFlags flags =
        (ownerFrame ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    frame->setWindowFlags(flags);
    frame->setWindowTitle(Q(text));
    frame->setFont(DialogFont());
    if (menu) {
        menuBar = new QMenuBar(frame);
        menuBar->setNativeMenuBar(false);
        menuBar->setFixedHeight(GetSystemMetrics(SM_CYMENU));
        SyncMenuBar(true);
    }
    client = new ClientWidget(this, frame);
    ClientWidget* c = client;
    surface->SetChangeHook([c](const RECT& r) {
        QMetaObject::invokeMethod(
            c, [c, r] { c->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)); },
            Qt::QueuedConnection);
    });
    SyncGeometry();

    for (const ControlTemplate& ct : t.controls) CreateControl(ct);
}

WindowImpl* WindowImpl::CreateControl(const ControlTemplate& c) {
    auto* impl = new WindowImpl(nullptr, this);
    impl->isControl = true;
    impl->kind = c.kind;
    impl->id = c.id;
    impl->style = c.style;
    impl->exStyle = c.exStyle;
    impl->text = c.text;
    const PixelRect pr = ControlPixelRect(c);
    impl->rect = RECT{pr.x, pr.y, pr.x + pr.cx, pr.y + pr.cy};
    if (c.kind == ControlKind::ComboBox) impl->rect.bottom = pr.y + kComboHeight;
    impl->visible = (c.style & WS_VISIBLE) != 0;
    impl->enabled = (c.style & WS_DISABLED) == 0;
    impl->comboItems = c.items;
    impl->font = font;

    std::unique_ptr<CWnd> object;
    switch (c.kind) {
        case ControlKind::Static:
        case ControlKind::Icon:
            object = std::make_unique<CStatic>();
            break;
        case ControlKind::Button:
            object = std::make_unique<CButton>();
            break;
        case ControlKind::Edit:
            object = std::make_unique<CEdit>();
            break;
        case ControlKind::ComboBox:
            object = std::make_unique<CComboBox>();
            break;
        case ControlKind::ListView:
            object = std::make_unique<CListCtrl>();
            break;
    }
    object->AttachImpl(impl);
    impl->ownedWnd = std::move(object);

    if (c.kind == ControlKind::Button && (c.style & 0x0F) == BS_DEFPUSHBUTTON) defaultButton = c.id;
    if (c.kind == ControlKind::Icon && c.resourceId)
        impl->staticIcon = LoadIconResource(c.resourceId);

    QWidget* parentWidget = client;
    switch (c.kind) {
        case ControlKind::Static:
        case ControlKind::Icon: {
            auto* label = new QLabel(parentWidget);
            label->setMouseTracking(true);
            label->setTextFormat(Qt::PlainText);
            Qt::Alignment a = Qt::AlignTop;
            const DWORD type = c.style & SS_TYPEMASK;
            if (type == SS_CENTER)
                a = Qt::AlignHCenter | Qt::AlignTop;
            else if (type == SS_RIGHT)
                a = Qt::AlignRight | Qt::AlignTop;
            else
                a = Qt::AlignLeft | Qt::AlignTop;
            if (c.style & SS_CENTERIMAGE) a = (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
            label->setAlignment(a);
            label->setWordWrap(c.kind == ControlKind::Static && !(c.style & SS_CENTERIMAGE));
            impl->widget = label;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(parentWidget);
            button->setAutoDefault(false);
            button->setDefault((c.style & 0x0F) == BS_DEFPUSHBUTTON);
            QObject::connect(button, &QPushButton::clicked, [impl] {
                if (!impl->syncing) NotifyParent(impl, BN_CLICKED);
            });
            impl->widget = button;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(parentWidget);
            edit->setValidator(new Cp936LimitValidator(impl, edit));
            QObject::connect(edit, &QLineEdit::textEdited, [impl](const QString& t) {
                if (impl->syncing) return;
                impl->text = t.toStdString();
                NotifyParent(impl, EN_CHANGE);
            });
            impl->widget = edit;
            break;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parentWidget);
            // The opened list fills the rest of the template's height below the control.
            const int rowHeight = QFontMetrics(DialogFont()).height() + 2;
            combo->setMaxVisibleItems(std::max(1, (pr.cy - kComboHeight) / rowHeight));
            QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [impl](int index) {
                if (impl->syncing) return;
                impl->comboSel = index;
                NotifyParent(impl, CBN_SELCHANGE);
            });
            impl->widget = combo;
            break;
        }
        case ControlKind::ListView: {
            auto* table = new ReportList(parentWidget);
            table->verticalHeader()->hide();
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setSelectionMode(QAbstractItemView::SingleSelection);
            table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            table->horizontalHeader()->setHighlightSections(false);
            table->verticalHeader()->setDefaultSectionSize(14);
            impl->widget = table;
            break;
        }
    }
    impl->widget->setFont(DialogFont());
    impl->widget->installEventFilter(EventRouter::Instance());
    impl->widget->setProperty("afxWindow", QVariant::fromValue(static_cast<void*>(impl)));
    impl->SyncControl();
    impl->SyncGeometry();
    impl->SyncVisible();
    return impl;
}

void WindowImpl::Destroy() {
    if (destroyed) return;
    destroyed = true;
    PurgePosted(this);
    ReleaseCaptureWithin(this);
    seams::KillTimers(this);
    while (!children.empty()) {
        WindowImpl* child = children.back();
        child->Destroy();
        if (child->wnd && child->wnd != child->ownedWnd.get()) {
            // A bound object outlives its control: it no longer has a window.
            child->wnd->DetachImpl();
        }
        if (child->ownedWnd) child->ownedWnd->DetachImpl();
        child->ownedWnd.reset();
        delete child;
    }
    if (surface) surface->SetChangeHook(nullptr);
    if (menu && menu->m_hMenu) menu->m_hMenu->onChange = nullptr;
    menuActions.clear();
    if (frame) {
        // Windows it owns outlive it on their own (their frames are Qt children of this one).
        for (FrameWidget* owned : frame->findChildren<FrameWidget*>(Qt::FindDirectChildrenOnly))
            owned->setParent(nullptr, owned->windowFlags());
        frame->impl = nullptr;
        frame->hide();
        frame->deleteLater();
        frame = nullptr;
        client = nullptr;
        menuBar = nullptr;
    }
    if (widget) {
        widget->removeEventFilter(EventRouter::Instance());
        widget->setProperty("afxWindow", QVariant());
        widget->hide();
        widget->deleteLater();
        widget = nullptr;
    }
}

void WindowImpl::SetWindowRect(const RECT& r) {
    const int oldW = rect.right - rect.left, oldH = rect.bottom - rect.top;
    rect = r;
    if (topLevel && surface) {
        const int cw = ClientWidth(), ch = ClientHeight();
        if (cw != surface->Width() || ch != surface->Height()) surface->Resize(cw, ch);
    }
    SyncGeometry();
    if ((oldW != r.right - r.left || oldH != r.bottom - r.top) && wnd) {
        wnd->SendMessage(WM_SIZE, 0, MAKELPARAM(ClientWidth(), ClientHeight()));
    }
}

void WindowImpl::SyncGeometry() {
    if (topLevel && frame) {
        const int cw = ClientWidth(), ch = ClientHeight();
        const int mbh = menuBar ? GetSystemMetrics(SM_CYMENU) : 0;
        if (menuBar) menuBar->setGeometry(0, 0, cw, mbh);
        client->setGeometry(0, mbh, cw, ch);
        frame->setFixedSize(cw, ch + mbh);
        frame->move(rect.left, rect.top);
    } else if (widget) {
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        // A label fitted to its text is as tall as the font's cell, and the underline of an
        // underlined font (a hyperlink's) lies just below it: the label's widget reaches down
        // far enough to show it. Its background is the dialog's, so nothing else changes.
        int below = 0;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->font().underline()) {
            const QFontMetrics metrics(label->font());
            below = std::max(
                0, metrics.ascent() + metrics.underlinePos() + 2 * metrics.lineWidth() - height);
        }
        widget->setGeometry(rect.left, rect.top, width, height + below);
    }
}

void WindowImpl::SyncText() {
    if (topLevel && frame) {
        frame->setWindowTitle(Q(text));
        return;
    }
    if (!widget) return;
    syncing = true;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (kind == ControlKind::Static)
            label->setText((style & SS_NOPREFIX) ? Q(text) : StaticText(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(Q(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != Q(text)) edit->setText(Q(text));
    }
    syncing = false;
}

void WindowImpl::SyncVisible() {
    // A window that hides can no longer hold the mouse.
    if (!visible) ReleaseCaptureWithin(this);
    if (topLevel && frame) {
        frame->setVisible(visible);
    } else if (widget) {
        widget->setVisible(visible);
        widget->setEnabled(enabled);
    }
}

void WindowImpl::SyncControl() {
    if (!widget) return;
    SyncText();
    syncing = true;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (kind == ControlKind::Icon || staticIcon)
            label->setPixmap(CrispPixmap(staticIcon, label->devicePixelRatioF()));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        bool same = combo->count() == static_cast<int>(comboItems.size());
        for (int i = 0; same && i < combo->count(); ++i)
            same = combo->itemText(i) == Q(comboItems[static_cast<size_t>(i)]);
        if (!same) {
            combo->clear();
            for (const std::string& s : comboItems) combo->addItem(Q(s));
        }
        combo->setCurrentIndex(comboSel);
    } else if (auto* table = qobject_cast<QTableWidget*>(widget)) {
        table->setColumnCount(static_cast<int>(columns.size()));
        QStringList headings;
        for (const ListColumn& col : columns) headings << Q(col.heading);
        table->setHorizontalHeaderLabels(headings);
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].width >= 0) table->setColumnWidth(static_cast<int>(i), columns[i].width);
        table->setShowGrid((listExStyle & LVS_EX_GRIDLINES) != 0);
        table->setSelectionBehavior((listExStyle & LVS_EX_FULLROWSELECT)
                                        ? QAbstractItemView::SelectRows
                                        : QAbstractItemView::SelectItems);
        table->setRowCount(static_cast<int>(rows.size()));
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t col = 0; col < columns.size(); ++col) {
                const std::string cell = col < rows[r].size() ? rows[r][col] : std::string();
                QTableWidgetItem* item = table->item(static_cast<int>(r), static_cast<int>(col));
                if (!item) {
                    item = new QTableWidgetItem();
                    table->setItem(static_cast<int>(r), static_cast<int>(col), item);
                }
                item->setText(Q(cell));
                item->setTextAlignment(
                    columns[col].format == LVCFMT_RIGHT    ? Qt::AlignRight | Qt::AlignVCenter
                    : columns[col].format == LVCFMT_CENTER ? Qt::AlignCenter
                                                           : Qt::AlignLeft | Qt::AlignVCenter);
            }
        }
    }
    widget->setToolTip(Q(toolTip));
    syncing = false;
}

// Colours of a static or edit control come from its parent's WM_CTLCOLOR handling (which
// first offers the message to the control itself).
void WindowImpl::ApplyControlColours() {
    if (!widget || !parent || !parent->wnd || !wnd) return;
    if (kind != ControlKind::Static && kind != ControlKind::Edit && kind != ControlKind::Icon)
        return;
    auto scratch = std::make_shared<gdi::Surface>(1, 1);
    CDC dc;
    dc.AttachSurface(scratch);
    const UINT message = kind == ControlKind::Edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    HBRUSH brush = reinterpret_cast<HBRUSH>(parent->wnd->SendMessage(
        message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(Hwnd())));
    const COLORREF textColor = dc.GetTextColor();
    COLORREF fill = 0;
    bool hollow = true;
    if (brush && !gdi::BrushInfo(brush, &fill, &hollow)) hollow = true;
    QPalette pal = widget->palette();
    const QColor text(GetRValue(textColor), GetGValue(textColor), GetBValue(textColor));
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    if (!hollow) {
        const QColor bg(GetRValue(fill), GetGValue(fill), GetBValue(fill));
        pal.setColor(QPalette::Window, bg);
        pal.setColor(QPalette::Base, bg);
    }
    widget->setAutoFillBackground(!hollow && kind != ControlKind::Edit);
    widget->setPalette(pal);
    widget->update();
}

void WindowImpl::SetIconic(bool on) {
    if (iconic == on) return;
    iconic = on;
    if (frame) {
        frame->applyingState = true;
        frame->lastOwnStateChange = std::chrono::steady_clock::now();
        if (on)
            frame->showMinimized();
        else if (visible)
            frame->showNormal();
        frame->applyingState = false;
    }
    if (!on) Invalidate(nullptr, false);
}

void WindowImpl::Activate() {
    if (!frame || !visible || iconic) return;
    // Offscreen there is no window system to stack or activate windows.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        frame->raise();
        frame->activateWindow();
    }
    if (WindowImpl::IsLive(focus) && focus->widget && focus->visible)
        focus->widget->setFocus(Qt::ActiveWindowFocusReason);
    else if (client)
        client->setFocus(Qt::ActiveWindowFocusReason);
}

void WindowImpl::Invalidate(const RECT* r, bool erase) {
    if (!topLevel || !surface) return;
    RECT area{0, 0, ClientWidth(), ClientHeight()};
    if (r) {
        CRect clipped;
        if (!clipped.IntersectRect(r, &area)) return;
        area = clipped;
    }
    if (hasInvalid) {
        CRect u;
        u.UnionRect(&invalid, &area);
        invalid = u;
    } else {
        invalid = area;
        hasInvalid = true;
    }
    invalidErase = invalidErase || erase;
    ScheduleDispatch();
}

void WindowImpl::EraseBackground(CDC* dc) {
    if (!wnd) return;
    HBRUSH brush = reinterpret_cast<HBRUSH>(wnd->SendMessage(
        WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Hwnd())));
    if (!brush) return;
    CBrush wrapper;
    wrapper.Attach(brush);
    RECT all{0, 0, ClientWidth(), ClientHeight()};
    dc->FillRect(&all, &wrapper);
    wrapper.Detach();
}

WindowImpl* WindowImpl::ChildById(int childId) const {
    for (WindowImpl* c : children)
        if (c->id == childId) return c;
    return nullptr;
}

WindowImpl* WindowImpl::ChildAt(POINT p) const {
    for (WindowImpl* c : children) {
        if (!c->visible) continue;
        if (p.x >= c->rect.left && p.x < c->rect.right && p.y >= c->rect.top &&
            p.y < c->rect.bottom)
            return c;
    }
    return nullptr;
}

void WindowImpl::SyncMenuBar(bool structure) {
    if (!menuBar || !menu || !menu->m_hMenu) return;
    MenuData* data = menu->m_hMenu;
    data->onChange = [this](bool s) { SyncMenuBar(s); };
    auto applyFlags = [this] {
        for (auto& [item, action] : menuActions) {
            const bool checked = (item->flags & MF_CHECKED) != 0;
            action->setEnabled(!(item->flags & (MF_GRAYED | MF_DISABLED)));
            action->setCheckable(checked);
            action->setChecked(checked);
        }
    };
    if (!structure && !menuActions.empty()) {
        applyFlags();
        return;
    }
    // Rebuild; the old menus go away once control is back in the event loop.
    for (QAction* a : menuBar->actions())
        if (a->menu()) a->menu()->deleteLater();
    menuBar->clear();
    menuActions.clear();
    std::function<void(QMenu*, MenuData*)> fill = [&](QMenu* qmenu, MenuData* m) {
        for (MenuItem& item : m->items) {
            if (item.flags & MF_SEPARATOR) {
                qmenu->addSeparator();
            } else if (item.sub) {
                QMenu* sub = qmenu->addMenu(Q(item.text));
                fill(sub, item.sub.get());
            } else {
                QAction* action = qmenu->addAction(Q(item.text));
                const UINT commandId = item.id;
                WindowImpl* self = this;
                QObject::connect(action, &QAction::triggered, [self, commandId] {
                    PostWindowMessage(self, WM_COMMAND, commandId, 0);
                });
                menuActions.emplace_back(&item, action);
            }
        }
    };
    for (MenuItem& top : data->items) {
        if (top.sub) {
            QMenu* qmenu = menuBar->addMenu(Q(top.text));
            fill(qmenu, top.sub.get());
        } else if (!(top.flags & MF_SEPARATOR)) {
            QAction* action = menuBar->addAction(Q(top.text));
            const UINT commandId = top.id;
            WindowImpl* self = this;
            QObject::connect(action, &QAction::triggered, [self, commandId] {
                PostWindowMessage(self, WM_COMMAND, commandId, 0);
            });
            menuActions.emplace_back(&top, action);
        }
    }
    applyFlags();
}

}  // namespace afx
