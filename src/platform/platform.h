// Thin services over Qt. Every window reaches dialogs, message boxes, the
// clipboard, the settings store, program start and the browser only through
// these interfaces, so tests can swap in a scripted double.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace mq::platform {

// The properties of the shared common dialog. They persist from one use to
// the next: each command sets only what it needs and otherwise sees what the
// previous use left.
struct CommonDialogState {
    QString filter;              // "label|pattern|label|pattern|..."
    int filterIndex = 0;         // selected filter entry, counted from 1 (0: none chosen yet)
    QString dialogTitle;
    QString initDir;
    QString defaultExt;          // without the dot, e.g. "bat"
    QString fileName;            // preset before showing, the chosen full path after OK
    bool cancelError = false;    // report Cancel as a failure (every command sets it)
    bool overwritePrompt = false;
    bool hideReadOnly = false;
    bool explorerStyle = false;
    bool screenFonts = false;
    bool fontEffects = false;
    quint32 color = 0;           // 0x00BBGGRR
    QString fontName;
    double fontSize = 0.0;
};

// Turns a filter list such as "All Files (*.*)|*.*|Text Files(*.txt)|*.txt"
// into name filters for the platform's dialog, "label (patterns)", meant to
// be shown with their patterns hidden: "All Files (*.*) (*)", ... "*.*"
// becomes "*", which matches every file as it does on Windows.
QStringList nameFiltersFromFilterList(const QString& filter);

// The entry (from 1) of a filter list that a dialog reports as selected,
// by its name filter or by its label alone (as shown with the patterns
// hidden); 0 when none matches.
int filterEntryOf(const QString& filter, const QString& selected);

// The file an open dialog takes for a typed name: the name itself when such
// a file exists; otherwise, for a name without extension, the name with the
// default extension when that exists; else none (empty). A default extension
// never turns the name of an existing file into another name.
QString resolveOpenName(const QString& typed, const QString& defaultExt,
                        const std::function<bool(const QString&)>& exists);

// The extension a save dialog gives a name typed without one, while entry
// `filterIndex` (from 1) of `filter` is selected: the entry's own extension
// when its pattern names exactly one ("*.bat" gives "bat"), else
// `defaultExt` ("All Files (*.*)", "*.xy*").
QString saveExtensionFor(const QString& filter, int filterIndex, const QString& defaultExt);

class CommonDialog {
public:
    virtual ~CommonDialog() = default;
    CommonDialogState& state() { return state_; }
    const CommonDialogState& state() const { return state_; }
    // Each returns false when the user cancelled or the dialog failed.
    virtual bool showOpen() = 0;
    virtual bool showSave() = 0;
    virtual bool showColor() = 0;
    virtual bool showFont() = 0;
    virtual bool showPrinter() = 0;
    // Sends plain text to the printer chosen in the last print dialog.
    virtual bool printText(const QString& text) = 0;

private:
    CommonDialogState state_;
};

enum class MessageButtons { Ok, OkCancel, YesNoCancel };
enum class MessageIcon { None, Question, Exclamation, Information, Critical };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const QString& text, MessageButtons buttons, MessageIcon icon,
                               const QString& title) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;   // empty when the clipboard holds no text
};

// Per-user settings addressed by section and key; a key never written reads
// as the empty text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString get(const QString& section, const QString& key) const = 0;
    virtual void set(const QString& section, const QString& key, const QString& value) = 0;
};

// How a watched program ended: its exit code (-1 when it crashed) and the
// last line it wrote to its error output.
struct ProgramEnd {
    int exitCode = -1;
    QString lastError;
};

// What a program run by Programs::capture wrote and how it ended.
struct ProgramOutput {
    bool started = false;   // false: it could not be started
    int exitCode = -1;      // -1 when it crashed or was ended for running too long
    QByteArray output;      // its output and error output, as it wrote them
};

class Programs {
public:
    virtual ~Programs() = default;
    // Starts a program without waiting; false when it could not be started.
    // With `ended`, the program is watched: `ended` runs on the user
    // interface's thread once it has ended, also after the window that
    // started it has closed (not when this program ends first; the started
    // one then goes on).
    virtual bool start(const QString& program, const QStringList& arguments, const QString& workingDir,
                       bool minimized, std::function<void(const ProgramEnd&)> ended = {}) = 0;
    // Runs a program in the background, without a window, and hands all it
    // wrote to `done` on the user interface's thread once it has ended (also
    // when it could not start, never from within this call). A program still
    // running after half a minute is ended.
    virtual void capture(const QString& program, const QStringList& arguments,
                         std::function<void(const ProgramOutput&)> done) = 0;
    // Opens the desktop's command window (terminal) in the given folder.
    virtual bool startCommandWindow(const QString& workingDir) = 0;
};

enum class ProcessStream { out, err };

// A program started by Processes::run; it lives until it has ended.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    // Ends the program and every process it started (its process group, or
    // its job object on Windows).
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

// Programs whose output is watched as it comes.
class Processes {
public:
    virtual ~Processes() = default;
    // Starts `program` in `workingDir` with `environment` ("NAME=value"
    // entries replacing or adding to the program's own). `output` gets each
    // piece a stream delivers as it comes, `ended` the exit code once the
    // program has ended (-1 when it crashed or was stopped); both run on the
    // user interface's thread. Null when the program could not be started.
    virtual std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments,
                                                const QString& workingDir, const QStringList& environment,
                                                std::function<void(ProcessStream, const QByteArray&)> output,
                                                std::function<void(int exitCode)> ended) = 0;
    // The full path of a program found on PATH (or in `extraFolders`, tried
    // first); empty when there is none.
    virtual QString findProgram(const QString& name, const QStringList& extraFolders = {}) const = 0;
};

class Browser {
public:
    virtual ~Browser() = default;
    // Opens an address (http:, mailto:, ...) or a local file.
    virtual bool open(const QString& addressOrFile) = 0;
};

// The set of services handed to every window.
struct Services {
    CommonDialog* dialog = nullptr;
    MessageBoxes* messages = nullptr;
    Clipboard* clipboard = nullptr;
    SettingsStore* settings = nullptr;
    Programs* programs = nullptr;
    Browser* browser = nullptr;
    Processes* processes = nullptr;
};

}  // namespace mq::platform
