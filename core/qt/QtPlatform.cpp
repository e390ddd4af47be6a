#include "QtPlatform.h"

#include "core/ProgressBox.h"
#include "core/qt/FenetreProprietaire.h"

#include <QApplication>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMetaObject>
#include <QString>
#include <QThread>

Q_LOGGING_CATEGORY(lcApp, "kiv.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWorld, "kiv.world", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSerial, "kiv.serial", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTrainer, "kiv.trainer", QtInfoMsg)
Q_LOGGING_CATEGORY(lcProtocol, "kiv.protocol", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNav, "kiv.nav", QtInfoMsg)

namespace {

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

const QLoggingCategory& category(TraceChannel channel)
{
    switch (channel) {
    case TraceChannel::World:
        return lcWorld();
    case TraceChannel::Serial:
        return lcSerial();
    case TraceChannel::Trainer:
        return lcTrainer();
    case TraceChannel::Protocol:
        return lcProtocol();
    case TraceChannel::Navigation:
        return lcNav();
    case TraceChannel::App:
        break;
    }
    return lcApp();
}

} // namespace

MessageAnswer QtPlatform::messageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons, MessageIcon icon)
{
    QMessageBox box(toQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    fenetreProprietaire());
    const int pressed = box.exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<std::string> QtPlatform::chooseFile(FileDialogKind kind, const std::string& filter)
{
    const QString qtFilter = QString::fromStdString(qtFileFilter(filter));
    QWidget* owner = fenetreProprietaire();
    const QString path = kind == FileDialogKind::Open
                             ? QFileDialog::getOpenFileName(owner, QString(), QString(), qtFilter)
                             : QFileDialog::getSaveFileName(owner, QString(), QString(), qtFilter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

void QtPlatform::beep(int /*frequency*/, int milliseconds)
{
    // The system bell is the tone Qt can sound portably; it is rung on the GUI
    // thread, and a worker waits for the tone's length as it would for a real
    // tone of that duration. The GUI thread itself never waits.
    auto* app = QCoreApplication::instance();
    if (app == nullptr) {
        sleep(milliseconds);
        return;
    }
    QMetaObject::invokeMethod(
        app, [] { QApplication::beep(); }, Qt::QueuedConnection);
    if (QThread::currentThread() != app->thread()) {
        sleep(milliseconds);
    }
}

bool QtPlatform::traceEnabled(TraceChannel channel) const
{
    return category(channel).isDebugEnabled();
}

void QtPlatform::trace(TraceChannel channel, const std::string& line)
{
    qCDebug(category(channel)).noquote() << QString::fromStdString(line);
}

std::string qtFileFilter(const std::string& filter)
{
    // Pairs of label and pattern separated by '|', ended by "||". Qt reads the
    // patterns from the parentheses of each entry, separated by blanks.
    std::string result;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t bar = filter.find('|', start);
        if (bar == std::string::npos || bar == start) {
            break;
        }
        std::string label = filter.substr(start, bar - start);
        std::size_t next = filter.find('|', bar + 1);
        if (next == std::string::npos) {
            next = filter.size();
        }
        std::string pattern = filter.substr(bar + 1, next - bar - 1);
        for (char& c : pattern) {
            if (c == ';') {
                c = ' ';
            }
        }
        if (!result.empty()) {
            result += ";;";
        }
        result += label;
        if (label.find('(') == std::string::npos) {
            result.append(" (").append(pattern).append(")");
        }
        start = next + 1;
    }
    return result;
}

std::unique_ptr<ProgressBox> QtPlatform::createProgressBox(int captionId)
{
    if (m_progressFactory) {
        if (auto box = m_progressFactory(captionId)) {
            return box;
        }
    }
    return std::make_unique<SilentProgressBox>();
}
