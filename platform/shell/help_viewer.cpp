// The help viewer: a window showing the pages of a compiled HTML help file, with its links
// working inside the file and web addresses going to the browser.
#include "platform/shell/help_viewer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QToolBar>
#include <map>
#include <memory>
#include <vector>

#include "platform/crt/codepage.h"
#include "platform/seams/seams.h"
#include "platform/shell/chm_file.h"
#include "platform/shell/shell.h"

namespace shell {

namespace {

const char* kScheme = "chm";

// Pages may be stored in code page 936 (declared in their meta tag) or UTF-8.
QString DecodePage(const std::string& bytes) {
    static const QRegularExpression charset(
        QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    QString head = QString::fromLatin1(bytes.data(),
                                       static_cast<int>(std::min<std::size_t>(bytes.size(), 2048)));
    QString name = charset.match(head).captured(1).toLower();
    if (name == "gb2312" || name == "gbk" || name == "gb18030" || name == "cp936" ||
        name == "x-gbk")
        return QString::fromStdString(crt::Cp936ToUtf8(bytes));
    return QString::fromUtf8(bytes.data(), static_cast<int>(bytes.size()));
}

// A title is stored as the help project wrote it: UTF-8, or code page 936.
QString DecodeTitle(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArray::fromStdString(bytes));
    if (!utf8.hasError()) return text;
    return QString::fromStdString(crt::Cp936ToUtf8(bytes));
}

class HelpBrowser : public QTextBrowser {
  public:
    explicit HelpBrowser(std::shared_ptr<ChmFile> chm) : m_chm(std::move(chm)) {
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this,
                [this](const QUrl& link) { Follow(link); });
    }

    void Follow(const QUrl& link) {
        QString scheme = link.scheme().toLower();
        if (scheme == "http" || scheme == "https" || scheme == "mailto" || scheme == "ftp") {
            ShellExecute(nullptr, "open", link.toString().toUtf8().constData(), nullptr, nullptr,
                         SW_SHOW);
            return;
        }
        QString text = link.toString();
        int inside = text.indexOf("::");  // "mk:@MSITStore:file.chm::/page.htm"
        QUrl target = inside >= 0 ? Internal(text.mid(inside + 2)) : source().resolved(link);
        if (target.scheme() != kScheme) return;
        if (!link.hasFragment() || target.path() != source().path() || !link.path().isEmpty())
            setSource(target);
        else
            scrollToAnchor(link.fragment());
    }

    static QUrl Internal(const QString& path) {
        QUrl url;
        url.setScheme(kScheme);
        int hash = path.indexOf('#');
        url.setPath(path.left(hash < 0 ? path.size() : hash).startsWith('/')
                        ? path.left(hash < 0 ? path.size() : hash)
                        : "/" + path.left(hash < 0 ? path.size() : hash));
        if (hash >= 0) url.setFragment(path.mid(hash + 1));
        return url;
    }

    QVariant loadResource(int type, const QUrl& url) override {
        if (url.scheme() != kScheme) return {};
        auto bytes = m_chm->Read(url.path().toStdString());
        if (!bytes) return {};
        if (type == QTextDocument::HtmlResource) return DecodePage(*bytes);
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(bytes->data(), int(bytes->size()));
        return QByteArray(bytes->data(), static_cast<int>(bytes->size()));
    }

  private:
    std::shared_ptr<ChmFile> m_chm;
};

class HelpWindow : public QMainWindow {
  public:
    HelpWindow(std::shared_ptr<ChmFile> chm, const QString& title)
        : m_browser(new HelpBrowser(chm)) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(title);
        QToolBar* bar = addToolBar(QString());
        bar->setMovable(false);
        QAction* back = bar->addAction(QStringLiteral("后退"), m_browser, &QTextBrowser::backward);
        QAction* forward =
            bar->addAction(QStringLiteral("前进"), m_browser, &QTextBrowser::forward);
        back->setEnabled(false);
        forward->setEnabled(false);
        connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        bar->addAction(QStringLiteral("主页"), this, [this] { ShowTopic(m_home); });
        setCentralWidget(m_browser);
        // Closed from the keyboard too, also where the window manager binds no key to it.
        for (const QKeySequence& key :
             {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
            new QShortcut(key, this, this, &QWidget::close);
        resize(760, 560);
    }
    void SetHome(const std::string& topic) { m_home = topic; }
    const std::string& Home() const { return m_home; }
    void ShowTopic(const std::string& topic) {
        m_browser->setSource(HelpBrowser::Internal(QString::fromStdString(topic)));
    }
    HelpBrowser* Browser() const { return m_browser; }

  private:
    HelpBrowser* m_browser;
    std::string m_home;
};

std::map<QString, QPointer<HelpWindow>>& Viewers() {
    static std::map<QString, QPointer<HelpWindow>> viewers;
    return viewers;
}
std::vector<QPointer<QWidget>>& AllWindows() {
    static std::vector<QPointer<QWidget>> windows;
    return windows;
}

QWidget* ReportMissing(const std::string& file) {
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("帮助"),
        QStringLiteral("无法打开帮助文件 %1。").arg(QString::fromStdString(file)), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    AllWindows().push_back(box);
    return box;
}

}  // namespace

std::string HelpViewerPage(void* viewer) {
    auto* window = dynamic_cast<HelpWindow*>(static_cast<QWidget*>(viewer));
    return window ? window->Browser()->source().path().toStdString() : std::string();
}

std::string HelpViewerCaption(void* viewer) {
    return static_cast<QWidget*>(viewer)->windowTitle().toStdString();
}

std::string HelpViewerText(void* viewer) {
    auto* widget = static_cast<QWidget*>(viewer);
    if (auto* window = dynamic_cast<HelpWindow*>(widget))
        return window->Browser()->toPlainText().toStdString();
    if (auto* box = dynamic_cast<QMessageBox*>(widget)) return box->text().toStdString();
    return "";
}

void HelpViewerFollowLink(void* viewer, const std::string& href) {
    if (auto* window = dynamic_cast<HelpWindow*>(static_cast<QWidget*>(viewer)))
        window->Browser()->Follow(QUrl(QString::fromStdString(href)));
}

int HelpWindowCount() {
    int n = 0;
    for (const auto& w : AllWindows())
        if (w) ++n;
    return n;
}

}  // namespace shell

void* HtmlHelp(const void*, const char* file, unsigned command, std::uintptr_t data) {
    using namespace shell;
    if (!file || command != HH_DISPLAY_TOPIC) return nullptr;
    seams::Trace("help", {{"file", file}});
    if (!QApplication::instance()) return nullptr;

    std::string name = file;
    for (char& c : name)
        if (c == '\\') c = '/';
    QString key = QFileInfo(QString::fromStdString(name)).absoluteFilePath();
    std::string topic = data ? reinterpret_cast<const char*>(data) : "";

    if (auto it = Viewers().find(key); it != Viewers().end() && it->second) {
        HelpWindow* window = it->second;
        window->ShowTopic(topic.empty() ? window->Home() : topic);
        window->showNormal();
        window->raise();
        window->activateWindow();
        return window;
    }

    auto chm = std::make_shared<ChmFile>();
    std::string home;
    if (chm->Open(name)) home = chm->DefaultTopic();
    if (home.empty()) return ReportMissing(file);

    QString title = DecodeTitle(chm->Title());
    if (title.isEmpty()) title = QFileInfo(key).fileName();
    auto* window = new HelpWindow(chm, title);
    window->SetHome(home);
    window->ShowTopic(topic.empty() ? home : topic);
    window->show();
    Viewers()[key] = window;
    AllWindows().push_back(window);
    return window;
}

void CloseHelpViewers() {
    for (auto& w : shell::AllWindows())
        if (w) delete w.data();
    shell::AllWindows().clear();
    shell::Viewers().clear();
}
