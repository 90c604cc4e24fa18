#include "platform/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QScreen>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX   // keeps std::min and std::max usable
#endif
#include <windows.h>
#endif

namespace mq::platform {

namespace {

QColor colorFromValue(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 valueFromColor(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

}  // namespace

QtCommonDialog::QtCommonDialog() = default;
QtCommonDialog::~QtCommonDialog() = default;

namespace {

// The open dialog: a typed name is resolved by `resolveOpenName`, so the
// default extension never renames an existing file (Qt's own dialog would
// add it to every name without a dot).
class OpenFileDialog : public QFileDialog {
public:
    OpenFileDialog(QWidget* parent, const QString& title, const QString& defaultExt)
        : QFileDialog(parent, title), defaultExt_(defaultExt)
    {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
    }
    QString chosen() const { return chosen_; }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && !QFileInfo(files.first()).isDir()) {
            chosen_ = resolveOpenName(files.first(), defaultExt_,
                                      [](const QString& path) { return QFileInfo(path).isFile(); });
            if (!chosen_.isEmpty()) {
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();   // folders, several names, and the dialog's own "not found"
    }

private:
    QString defaultExt_;
    QString chosen_;
};

}  // namespace

bool QtCommonDialog::showFileDialog(bool save)
{
    auto& s = state();
    std::unique_ptr<QFileDialog> owned;
    OpenFileDialog* openDialog = nullptr;
    if (save) {
        owned = std::make_unique<QFileDialog>(parent_, s.dialogTitle);
        owned->setAcceptMode(QFileDialog::AcceptSave);
        owned->setFileMode(QFileDialog::AnyFile);
        if (!s.overwritePrompt) owned->setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        openDialog = new OpenFileDialog(parent_, s.dialogTitle, s.defaultExt);
        owned.reset(openDialog);
    }
    QFileDialog& dialog = *owned;
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // The labels name their patterns already; show each once.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = nameFiltersFromFilterList(s.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (s.filterIndex >= 1 && s.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[s.filterIndex - 1]);
    }
    QString folder = s.initDir;
    if (!s.fileName.isEmpty()) {
        const QFileInfo preset(s.fileName);
        if (preset.isAbsolute() && folder.isEmpty()) folder = preset.absolutePath();
    }
    if (save) {
        // A name typed without an extension takes the selected type's
        // extension; "All Files" gives the default extension.
        const auto followType = [&dialog, &s](const QString& selected) {
            dialog.setDefaultSuffix(saveExtensionFor(s.filter, filterEntryOf(s.filter, selected), s.defaultExt));
        };
        followType(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
    }
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!s.fileName.isEmpty()) dialog.selectFile(s.fileName);
    if (dialog.exec() != QDialog::Accepted) return false;
    QString chosen = openDialog ? openDialog->chosen() : QString();
    if (chosen.isEmpty()) {
        if (dialog.selectedFiles().isEmpty()) return false;
        chosen = dialog.selectedFiles().constFirst();
    }
    s.fileName = QDir::toNativeSeparators(chosen);
    if (const int entry = filterEntryOf(s.filter, dialog.selectedNameFilter())) s.filterIndex = entry;
    return true;
}

bool QtCommonDialog::showOpen() { return showFileDialog(false); }
bool QtCommonDialog::showSave() { return showFileDialog(true); }

bool QtCommonDialog::showColor()
{
    const QColor chosen = QColorDialog::getColor(colorFromValue(state().color), parent_);
    if (!chosen.isValid()) return false;
    state().color = valueFromColor(chosen);
    return true;
}

bool QtCommonDialog::showFont()
{
    QFont initial;
    if (!state().fontName.isEmpty()) initial.setFamily(state().fontName);
    if (state().fontSize > 0) initial.setPointSizeF(state().fontSize);
    QFontDialog dialog(initial, parent_);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's size box takes whole numbers only and silently drops a typed ".",
    // turning 10.5 into 105. It takes sizes such as 10.5 (or 10,5) here, and
    // the size is read from the box as the user sees it.
    QLineEdit* sizeBox = nullptr;
    for (QLineEdit* box : dialog.findChildren<QLineEdit*>())
        if (qobject_cast<const QIntValidator*>(box->validator())) sizeBox = box;
    if (sizeBox) {
        sizeBox->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\d{0,3}([.,]\\d{0,2})?")), sizeBox));
        if (state().fontSize > 0) sizeBox->setText(QString::number(state().fontSize));
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    const QFont chosen = dialog.selectedFont();
    double size = chosen.pointSizeF();
    if (sizeBox) {
        bool ok = false;
        const double typed = QString(sizeBox->text()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        size = ok ? typed : 0.0;   // nothing usable typed: the caller refuses it
    }
    state().fontName = chosen.family();
    state().fontSize = size;
    return true;
}

bool QtCommonDialog::showPrinter()
{
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtCommonDialog::printText(const QString& text)
{
    if (!printer_) return false;
    return printPlainText(*printer_, text);
}

bool printPlainText(QPrinter& printer, const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

MessageAnswer QtMessageBoxes::show(const QString& text, MessageButtons buttons, MessageIcon icon,
                                   const QString& title)
{
    QMessageBox box(parent_);
    box.setWindowTitle(title);
    QString shown = text;
    box.setText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The box wraps its text at blanks and also after "/" and "-"; it is made
    // at least as wide as the longest word, so that a path (whose blanks the
    // program sends as non-breaking spaces) stays on one line. The box sizes
    // itself by the label's minimum width and wraps only lines wider than
    // about half the screen, so the minimum also covers each line up to that
    // width: a shorter minimum would cut off the end of an unwrapped line.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        int longest = 0;
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            longest = std::max(longest, metrics.horizontalAdvance(line));
            for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                widest = std::max(widest, metrics.horizontalAdvance(word));
        }
        const QScreen* screen = box.screen();
        const int screenWidth = screen ? screen->availableGeometry().width() : 1000;
        const int unwrapped = std::min(longest, std::min(screenWidth / 2, 500));
        label->setMinimumWidth(std::min(std::max(widest, unwrapped) + 8, screenWidth * 3 / 4));
    }
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    if (buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
    }
}

void QtClipboard::clear() { QApplication::clipboard()->clear(); }
void QtClipboard::setText(const QString& text) { QApplication::clipboard()->setText(text); }
QString QtClipboard::text() const { return QApplication::clipboard()->text(); }

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(iniPath.isEmpty()
                    ? std::make_unique<QSettings>(QStringLiteral("Mapquill"), QStringLiteral("Mapquill"))
                    : std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QString QtSettingsStore::get(const QString& section, const QString& key) const
{
    return settings_->value(section + QLatin1Char('/') + key).toString();
}

void QtSettingsStore::set(const QString& section, const QString& key, const QString& value)
{
    settings_->setValue(section + QLatin1Char('/') + key, value);
    settings_->sync();
}

namespace {

void prepare(QProcess& process, const QString& program, const QStringList& arguments,
             const QString& workingDir, bool minimized)
{
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDir);
#ifdef Q_OS_WIN
    // Minimised and without taking the focus from the window the user is in.
    if (minimized) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMINNOACTIVE;
        });
    }
#else
    Q_UNUSED(minimized);   // elsewhere the desktop decides how a program's window opens
#endif
}

QString last_line(const QByteArray& output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (!it->trimmed().isEmpty()) return it->trimmed();
    return {};
}

}  // namespace

bool QtPrograms::start(const QString& program, const QStringList& arguments, const QString& workingDir,
                       bool minimized, std::function<void(const ProgramEnd&)> ended)
{
    if (!ended) {
        QProcess process;
        prepare(process, program, arguments, workingDir, minimized);
        return process.startDetached();
    }
    // Belongs to no window, so that closing one does not end the program; it
    // goes away once the program has ended.
    auto* process = new QProcess;
    prepare(*process, program, arguments, workingDir, minimized);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, ended = std::move(ended)](int code, QProcess::ExitStatus status) {
                         ended({status == QProcess::NormalExit ? code : -1,
                                last_line(process->readAllStandardError())});
                         process->deleteLater();
                     });
    process->start();
    if (process->waitForStarted()) return true;
    delete process;
    return false;
}

void QtPrograms::capture(const QString& program, const QStringList& arguments,
                         std::function<void(const ProgramOutput&)> done)
{
    // Ended with the application at the latest.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::MergedChannels);
    auto finish = std::make_shared<std::function<void(const ProgramOutput&)>>(std::move(done));
    const auto report = [process, finish](const ProgramOutput& output) {
        if (!*finish) return;
        const auto done = std::exchange(*finish, {});
        process->deleteLater();
        done(output);
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int code, QProcess::ExitStatus status) {
                         report({true, status == QProcess::NormalExit ? code : -1, process->readAll()});
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process,
        [report](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) report({});
        },
        Qt::QueuedConnection);
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, process, &QProcess::kill);
    limit->start(30000);
    process->start();
}

QStringList QtPrograms::terminalCandidates()
{
    QStringList candidates;
    const QString fromEnvironment = QProcessEnvironment::systemEnvironment().value(QStringLiteral("TERMINAL"));
    if (!fromEnvironment.isEmpty()) candidates << fromEnvironment;
    candidates << QStringLiteral("x-terminal-emulator") << QStringLiteral("gnome-terminal")
               << QStringLiteral("konsole") << QStringLiteral("xfce4-terminal")
               << QStringLiteral("mate-terminal") << QStringLiteral("lxterminal")
               << QStringLiteral("qterminal") << QStringLiteral("alacritty")
               << QStringLiteral("kitty") << QStringLiteral("xterm");
    return candidates;
}

bool QtPrograms::startCommandWindow(const QString& workingDir)
{
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("cmd.exe"), {}, workingDir);
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-a"), QStringLiteral("Terminal"), workingDir});
#else
    for (const QString& candidate : terminalCandidates()) {
        const QString path = QStandardPaths::findExecutable(candidate);
        if (path.isEmpty()) continue;
        if (QProcess::startDetached(path, {}, workingDir)) return true;
    }
    return false;
#endif
}

bool QtBrowser::open(const QString& addressOrFile)
{
    const QFileInfo file(addressOrFile);
    const QUrl url = file.isAbsolute() && file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                         : QUrl(addressOrFile);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace mq::platform
