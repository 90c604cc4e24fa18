// The platform services as the desktop provides them.
#pragma once

#include "platform/platform.h"

#include <QPointer>
#include <QSettings>
#include <memory>

class QPrinter;

namespace mq::platform {

class QtCommonDialog : public CommonDialog {
public:
    QtCommonDialog();
    ~QtCommonDialog() override;
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    bool showOpen() override;
    bool showSave() override;
    bool showColor() override;
    bool showFont() override;
    bool showPrinter() override;
    bool printText(const QString& text) override;

private:
    bool showFileDialog(bool save);
    QPointer<QWidget> parent_;
    std::unique_ptr<QPrinter> printer_;
};

// Prints plain text on a printer (or into a PDF file set up on it).
bool printPlainText(QPrinter& printer, const QString& text);

class QtMessageBoxes : public MessageBoxes {
public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    MessageAnswer show(const QString& text, MessageButtons buttons, MessageIcon icon,
                       const QString& title) override;

private:
    QPointer<QWidget> parent_;
};

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    QString text() const override;
};

class QtSettingsStore : public SettingsStore {
public:
    // The user's store for the application "Mapquill", or an INI file at
    // iniPath (tests use a temporary one).
    explicit QtSettingsStore(const QString& iniPath = {});
    QString get(const QString& section, const QString& key) const override;
    void set(const QString& section, const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

class QtPrograms : public Programs {
public:
    bool start(const QString& program, const QStringList& arguments, const QString& workingDir,
               bool minimized, std::function<void(const ProgramEnd&)> ended) override;
    void capture(const QString& program, const QStringList& arguments,
                 std::function<void(const ProgramOutput&)> done) override;
    bool startCommandWindow(const QString& workingDir) override;
    // The terminal programs tried in order on desktops other than Windows.
    static QStringList terminalCandidates();
};

class QtProcesses : public Processes {
public:
    std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments,
                                        const QString& workingDir, const QStringList& environment,
                                        std::function<void(ProcessStream, const QByteArray&)> output,
                                        std::function<void(int exitCode)> ended) override;
    QString findProgram(const QString& name, const QStringList& extraFolders = {}) const override;
};

class QtBrowser : public Browser {
public:
    bool open(const QString& addressOrFile) override;
};

// Owns one of each desktop service.
struct QtPlatform {
    QtCommonDialog dialog;
    QtMessageBoxes messages;
    QtClipboard clipboard;
    QtSettingsStore settings;
    QtPrograms programs;
    QtBrowser browser;
    QtProcesses processes;

    explicit QtPlatform(const QString& settingsIniPath = {}) : settings(settingsIniPath) {}
    void setParentWidget(QWidget* parent)
    {
        dialog.setParentWidget(parent);
        messages.setParentWidget(parent);
    }
    Services services()
    {
        return {&dialog, &messages, &clipboard, &settings, &programs, &browser, &processes};
    }
};

}  // namespace mq::platform
