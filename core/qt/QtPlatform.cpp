#include "QtPlatform.h"

#include "core/ProgressBox.h"
#include "core/qt/DossiersFichiers.h"
#include "core/qt/FenetreProprietaire.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMetaObject>
#include <QString>
#include <QThread>
#include <QUrl>

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
    QMessageBox::StandardButtons boutons = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo) {
        boutons = QMessageBox::Yes | QMessageBox::No;
    } else if (buttons == MessageButtons::YesNoCancel) {
        boutons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    // Traced as it shows, so that what a box says can be followed from the
    // terminal (QT_LOGGING_RULES="kiv.app.debug=true").
    trace(TraceChannel::App, "message box: " + text);
    QMessageBox box(toQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    boutons, fenetreProprietaire());
    if (buttons == MessageButtons::YesNoCancel) {
        // Escape and the window's close button keep things as they are.
        box.setEscapeButton(QMessageBox::Cancel);
    }
    const int pressed = box.exec();
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        break;
    }
    return pressed == QMessageBox::Yes  ? MessageAnswer::Yes
           : pressed == QMessageBox::No ? MessageAnswer::No
                                        : MessageAnswer::Cancel;
}

std::optional<std::string> QtPlatform::chooseFile(FileDialogKind kind, const std::string& filter)
{
    return chooseFileIn(kind, filter, {});
}

std::optional<std::string> QtPlatform::chooseFileIn(FileDialogKind kind, const std::string& filter,
                                                    const std::string& dossier)
{
    const QString qtFilter = QString::fromStdString(qtFileFilter(filter));
    QWidget* owner = fenetreProprietaire();
    // The folder asked for; else where a file of this kind was last opened
    // or saved, not the working folder.
    const QString demande = QFile::decodeName(dossier.c_str());
    const QString depart =
        !demande.isEmpty() && QFileInfo(demande).isDir() ? demande : dossiers::depart(filter, kind);
    QString path;
    if (kind == FileDialogKind::Open) {
        path = QFileDialog::getOpenFileName(owner, QString(), depart, qtFilter);
    } else {
        // A name typed without an extension gets the kind's own, before the
        // dialog asks whether to replace a file of that name.
        QFileDialog dialogue(owner, QString(), depart, qtFilter);
        dialogue.setAcceptMode(QFileDialog::AcceptSave);
        dialogue.setFileMode(QFileDialog::AnyFile);
        dialogue.setDefaultSuffix(QString::fromStdString(dossiers::genre(filter)));
        if (dialogue.exec() == QDialog::Accepted && !dialogue.selectedFiles().isEmpty()) {
            path = dialogue.selectedFiles().constFirst();
        }
    }
    if (path.isEmpty()) {
        return std::nullopt;
    }
    dossiers::retenir(filter, path);
    // The file system's bytes for the name (a name is no UTF-8 text).
    return QFile::encodeName(path).toStdString();
}

std::optional<int> QtPlatform::chooseItem(const std::string& caption, const std::string& label,
                                          const std::vector<std::string>& choix, int courant)
{
    QStringList elements;
    for (const std::string& c : choix) {
        elements << QString::fromStdString(c);
    }
    bool ok = false;
    const QString choisi =
        QInputDialog::getItem(fenetreProprietaire(), QString::fromStdString(caption),
                              QString::fromStdString(label), elements, courant, false, &ok);
    if (!ok) {
        return std::nullopt;
    }
    const auto index = elements.indexOf(choisi);
    return index < 0 ? courant : static_cast<int>(index);
}

bool QtPlatform::openFolder(const std::string& dossier)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(dossier.c_str())));
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
