// A scripted stand-in for the platform services: it records what the program
// asked for and gives the answers a test has queued.
#pragma once

#include "platform/platform.h"

#include <QDir>
#include <QMap>
#include <QQueue>
#include <QStringList>
#include <memory>
#include <tuple>
#include <vector>

namespace mq::testing {

class ScriptedDialog : public platform::CommonDialog {
public:
    enum class Kind { Open, Save, Color, Font, Printer };
    struct Shown {
        Kind kind;
        platform::CommonDialogState state;   // the properties as they were when shown
    };
    // One scripted answer: accepted or cancelled, and what the user picked.
    struct Answer {
        bool accept = true;
        QString fileName;        // Open / Save
        int filterIndex = 0;     // 0: keep
        quint32 color = 0;       // Color
        QString fontName;        // Font
        double fontSize = 0.0;   // Font
    };

    std::vector<Shown> shown;
    QQueue<Answer> answers;      // an empty queue answers Cancel
    QStringList printed;
    static Answer accept(const QString& fileName) { Answer a; a.fileName = fileName; return a; }
    static Answer cancel() { Answer a; a.accept = false; return a; }
    static Answer color(quint32 bgr) { Answer a; a.color = bgr; return a; }
    static Answer font(const QString& name, double size) { return {true, {}, 0, 0, name, size}; }

    bool showOpen() override { return respond(Kind::Open); }
    bool showSave() override { return respond(Kind::Save); }
    bool showColor() override { return respond(Kind::Color); }
    bool showFont() override { return respond(Kind::Font); }
    bool showPrinter() override { return respond(Kind::Printer); }
    bool printText(const QString& text) override { return (printed << text, true); }

private:
    bool respond(Kind kind) {
        shown.push_back({kind, state()});
        const Answer a = answers.isEmpty() ? cancel() : answers.dequeue();
        auto& s = state();
        if (a.accept && (kind == Kind::Open || kind == Kind::Save)) {
            s.fileName = QDir::toNativeSeparators(a.fileName);   // as the platform's dialog gives it
            if (a.filterIndex) s.filterIndex = a.filterIndex;
        }
        if (a.accept && kind == Kind::Color) s.color = a.color;
        if (a.accept && kind == Kind::Font)
            std::tie(s.fontName, s.fontSize) = std::tie(a.fontName, a.fontSize);
        return a.accept;
    }
};

class ScriptedMessages : public platform::MessageBoxes {
public:
    struct Shown {
        QString text;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
        QString title;
    };
    std::vector<Shown> shown;
    QQueue<platform::MessageAnswer> answers;   // empty: Ok for OK boxes, Cancel otherwise
    platform::MessageAnswer show(const QString& text, platform::MessageButtons buttons,
                                 platform::MessageIcon icon, const QString& title) override {
        shown.push_back({text, buttons, icon, title});
        using enum platform::MessageAnswer;
        return !answers.isEmpty() ? answers.dequeue() : buttons == platform::MessageButtons::Ok ? Ok : Cancel;
    }
};

class ScriptedClipboard : public platform::Clipboard {
public:
    QString content;
    bool hasText = false;
    int clears = 0;
    void clear() override { content.clear(); hasText = false; ++clears; }
    void setText(const QString& text) override { content = text; hasText = true; }
    QString text() const override { return content; }
};

class ScriptedSettings : public platform::SettingsStore {
public:
    QMap<QPair<QString, QString>, QString> values;
    std::vector<QPair<QString, QString>> writes;   // (section, key) in the order written
    QString get(const QString& section, const QString& key) const override { return values[{section, key}]; }
    void set(const QString& section, const QString& key, const QString& value) override {
        values[{section, key}] = value;
        writes.push_back({section, key});
    }
};

class ScriptedPrograms : public platform::Programs {
public:
    struct Started {
        QString program;
        QStringList arguments;
        QString workingDir;
        bool minimized;
        std::function<void(const platform::ProgramEnd&)> ended;   // a test calls it to end the program
    };
    struct Captured {
        QString program;
        QStringList arguments;
        std::function<void(const platform::ProgramOutput&)> done;   // a test calls it with the output
    };
    std::vector<Started> started;
    std::vector<Captured> captured;
    QStringList commandWindows;
    bool succeed = true;
    bool start(const QString& program, const QStringList& arguments, const QString& workingDir,
               bool minimized, std::function<void(const platform::ProgramEnd&)> ended) override {
        started.push_back({program, arguments, workingDir, minimized, std::move(ended)});
        return succeed;
    }
    void capture(const QString& program, const QStringList& arguments,
                 std::function<void(const platform::ProgramOutput&)> done) override {
        captured.push_back({program, arguments, std::move(done)});
    }
    bool startCommandWindow(const QString& dir) override { return (commandWindows << dir, succeed); }
};

class ScriptedBrowser : public platform::Browser {
public:
    QStringList opened;
    bool succeed = true;
    bool open(const QString& addressOrFile) override { return (opened << addressOrFile, succeed); }
};

// Programs run with their output watched: a test plays each one's output
// and end through its Run.
class ScriptedProcesses : public platform::Processes {
public:
    struct Run {
        QString program;
        QStringList arguments;
        QString workingDir;
        QStringList environment;
        std::function<void(platform::ProcessStream, const QByteArray&)> output;
        std::function<void(int)> ended;
        bool stopped = false;
        bool running = true;
        void print(const QByteArray& text, bool error = false) {
            output(error ? platform::ProcessStream::err : platform::ProcessStream::out, text);
        }
        void end(int code) { running = false; ended(code); }
    };
    std::vector<std::shared_ptr<Run>> runs;
    QStringList found;   // the programs findProgram finds, as "/usr/bin/<name>"
    bool succeed = true;

    std::unique_ptr<platform::RunningProcess> run(
        const QString& program, const QStringList& arguments, const QString& workingDir,
        const QStringList& environment,
        std::function<void(platform::ProcessStream, const QByteArray&)> output,
        std::function<void(int)> ended) override {
        if (!succeed) return nullptr;
        runs.push_back(std::make_shared<Run>(
            Run{program, arguments, workingDir, environment, std::move(output), std::move(ended)}));
        struct Handle : platform::RunningProcess {
            std::shared_ptr<Run> run;
            void stop() override { run->stopped = true; }
            bool running() const override { return run->running; }
        };
        auto handle = std::make_unique<Handle>();
        handle->run = runs.back();
        return handle;
    }
    QString findProgram(const QString& name, const QStringList&) const override {
        return found.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    }
};

// All doubles together, wired into a Services value.
struct ScriptedPlatform {
    ScriptedDialog dialog;
    ScriptedMessages messages;
    ScriptedClipboard clipboard;
    ScriptedSettings settings;
    ScriptedPrograms programs;
    ScriptedBrowser browser;
    ScriptedProcesses processes;

    platform::Services services() {
        return {&dialog, &messages, &clipboard, &settings, &programs, &browser, &processes};
    }
};

}  // namespace mq::testing
