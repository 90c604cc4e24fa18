#include "platform/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUrl>

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

bool QtCommonDialog::showFileDialog(bool save)
{
    auto& s = state();
    QFileDialog dialog(parent_, s.dialogTitle);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !s.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = nameFiltersFromFilterList(s.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (s.filterIndex >= 1 && s.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[s.filterIndex - 1]);
    }
    if (!s.defaultExt.isEmpty()) dialog.setDefaultSuffix(s.defaultExt);
    QString folder = s.initDir;
    if (!s.fileName.isEmpty()) {
        const QFileInfo preset(s.fileName);
        if (preset.isAbsolute() && folder.isEmpty()) folder = preset.absolutePath();
    }
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!s.fileName.isEmpty()) dialog.selectFile(s.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    s.fileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) s.filterIndex = int(chosen) + 1;
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
    bool ok = false;
    QFont initial;
    if (!state().fontName.isEmpty()) initial.setFamily(state().fontName);
    if (state().fontSize > 0) initial.setPointSizeF(state().fontSize);
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent_);
    if (!ok) return false;
    state().fontName = chosen.family();
    state().fontSize = chosen.pointSizeF();
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

bool QtPrograms::start(const QString& program, const QStringList& arguments, const QString& workingDir,
                       bool minimized)
{
    Q_UNUSED(minimized);   // the desktop decides how a started program's window opens
    return QProcess::startDetached(program, arguments, workingDir);
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
