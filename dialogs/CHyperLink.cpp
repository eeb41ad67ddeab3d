#include "CHyperLink.h"

#include "platform/Codec.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QProcess>
#include <QToolTip>
#include <memory>

using namespace Win32;

CHyperLink::CHyperLink(QWidget* parent)
    : QLabel(parent)
{
    setMouseTracking(true);
    // A link is reached with Tab and followed with Enter or Space, as a button is.
    setFocusPolicy(Qt::StrongFocus);
    m_hoverTimer.setInterval(100);
    connect(&m_hoverTimer, &QTimer::timeout, this, [this] { OnTimer(); });
}

CHyperLink::~CHyperLink()
{
    m_hoverTimer.stop();
}

void CHyperLink::PreSubclassWindow()
{
    if (m_strAddress.empty()) m_strAddress = Codec::FromQt(text());
    if (text().isEmpty()) setText(Codec::ToQt(m_strAddress));
    m_fontPlain = font();
    m_fontUnderlined = font();
    m_fontUnderlined.setUnderline(true);
    FitWindowToText();
    LoadHandCursor();
    ChooseUnderline(-1);
    setToolTip(Codec::ToQt(m_strAddress));
    ShowColours();
}

void CHyperLink::SetAddress(const std::string& url)
{
    m_strAddress = url;
    FitWindowToText();
    setToolTip(Codec::ToQt(url));
}

void CHyperLink::FitWindowToText()
{
    if (!m_bFitToText) return;
    QRect r = geometry();
    const int border = 2 * frameWidth();
    const QSize extent = QFontMetrics(m_fontUnderlined).size(Qt::TextSingleLine, text());
    const int w = extent.width() + border, h = extent.height() + border;
    const Qt::Alignment a = alignment();
    int top = r.top(), left = r.left();
    if (a & Qt::AlignVCenter) top += (r.height() - h) / 2; // shrinks about its middle
    if (a & Qt::AlignHCenter)
        left += (r.width() - w) / 2;
    else if (a & Qt::AlignRight)
        left = r.right() + 1 - w;
    setGeometry(left, top, w, h);
    setMinimumSize(w, h);
}

void CHyperLink::LoadHandCursor()
{
    if (m_hHandCursor) return;
    setCursor(Qt::PointingHandCursor);
    m_hHandCursor = true;
}

void CHyperLink::ChooseUnderline(int mode)
{
    if (m_nUnderlineMode != -1) {
        setFont(m_fontPlain);
        update();
    }
    m_nUnderlineMode = mode;
}

COLORREF CHyperLink::TextColour() const
{
    if (m_bHovering) return m_colorHover;
    return m_bOpened ? m_colorOpened : m_colorLink;
}

void CHyperLink::ShowColours()
{
    const COLORREF c = TextColour();
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    setPalette(p);
    update();
}

void CHyperLink::MarkAsOpened()
{
    m_bOpened = true;
    ShowColours();
}

void CHyperLink::OnMouseMove()
{
    if (m_bHovering) return;
    m_bHovering = true;
    if (m_nUnderlineMode == -1) setFont(m_fontUnderlined);
    ShowColours();
    m_hoverTimer.start();
}

void CHyperLink::OnTimer()
{
    if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
    m_bHovering = false;
    m_hoverTimer.stop();
    if (m_nUnderlineMode != 1) setFont(m_fontPlain);
    ShowColours();
}

bool CHyperLink::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        if (m_strAddress.empty()) return QLabel::event(event);
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), Codec::ToQt(m_strAddress), this, rect());
        return true;
    }
    return QLabel::event(event);
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    OnMouseMove();
    QLabel::enterEvent(event);
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove();
    QLabel::mouseMoveEvent(event);
}

void CHyperLink::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && event->modifiers() == Qt::NoModifier) {
        OnLinkClicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CHyperLink::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The keyboard's place, drawn around the text the way the style draws it around a button's.
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = contentsRect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) OnLinkClicked();
    QLabel::mouseReleaseEvent(event);
}

void CHyperLink::OnLinkClicked()
{
    m_bHovering = false;
    ShowColours();
    // The dialog may be closed before the desktop answers: a failure is still told, without the link.
    QPointer<CHyperLink> link(this);
    OpenAddress(m_strAddress, SW_SHOW, [link](int result) {
        if (link)
            link->OnOpened(result);
        else if (result <= 32)
            ReportOpenFailure(result);
    });
}

void CHyperLink::OnOpened(int result)
{
    m_bOpened = result > 32;
    if (m_bOpened) {
        MarkAsOpened();
        return;
    }
    ShowColours();
    ReportOpenFailure(result);
}

long CHyperLink::ReadClassesRootValue(const std::string& subkey, std::string& out)
{
    return RegQueryDefaultValue(HKEY_CLASSES_ROOT, subkey, out);
}

int CHyperLink::OpenAddress(const std::string& url, int show, std::function<void(int)> done)
{
    (void)show; // the desktop decides how its programs show themselves
    auto result = std::make_shared<int>(ShellOpenPending);
    ShellOpen(url, [url, result, done = std::move(done)](int shell) {
        *result = shell > 32 ? shell : OpenWithBrowserCommand(url, shell);
        if (done) done(*result);
    });
    return *result;
}

int CHyperLink::OpenWithBrowserCommand(const std::string& url, int result)
{
    // The command registered for web pages, started with the address as an argument of its own.
    std::string command;
    if (ReadClassesRootValue(".htm", command) != ERROR_SUCCESS) return result;
    if (ReadClassesRootValue(command + "\\shell\\open\\command", command) != ERROR_SUCCESS) return result;
    if (auto at = command.find("\"%1\""); at != std::string::npos)
        command.erase(at);
    else if (auto plain = command.find("%1"); plain != std::string::npos)
        command.erase(plain);
    QStringList words = QProcess::splitCommand(Codec::ToQt(command));
    if (words.isEmpty()) return result;
    const std::string program = Codec::FromQt(words.takeFirst());
    std::vector<std::string> arguments;
    for (const QString& w : words) arguments.push_back(Codec::FromQt(w));
    arguments.push_back(url);
    return StartProgram(program, arguments) ? 33 : SE_ERR_FNF;
}

std::string CHyperLink::OpenErrorText(int code)
{
    switch (code) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
               "processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.";
    default:
        return "Unknown Error (" + std::to_string(code) + ") occurred.";
    }
}

void CHyperLink::ShowOpenError(int code)
{
    AfxMessageBox("Unable to open hyperlink:\n\n" + OpenErrorText(code), MB_ICONWARNING | MB_OK);
}

void CHyperLink::ReportOpenFailure(int code)
{
    MessageBeep();
    ShowOpenError(code);
}
