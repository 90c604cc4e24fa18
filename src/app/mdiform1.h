// The main window: menus, toolbar, status bar and the editor windows.
//
// Every command is one QAction, made from the menu table (and, for the two
// toolbar buttons without a menu entry, from the toolbar table); the menu
// entry, the toolbar button and the editor's context menu all trigger that
// action. `count_open_forms` alone decides which commands are enabled.
#pragma once

#include "common/ui/tool_context.h"
#include "platform/platform.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

namespace mq::catalogue {
struct ScriptTemplate;
}

namespace mq::app {

class EditorComforts;
class ManualPages;
class GmtHelpDock;
class GmtModules;
class MapDock;
class OutputDock;
class ScriptRun;
struct LinkedMessage;
class frmEditor;
class frmstart;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(platform::Services services, QWidget* parent = nullptr);
    ~MDIForm1() override;

    platform::Services services() const { return services_; }
    // The path last picked in the open dialog, chosen in the recent-files
    // list or saved with Save File as; the recent-files list records it.
    const QString& file_path_in() const { return file_path_in_; }
    // The folder of the GMT manual.
    const QString& gmt_html_path() const { return gmt_html_path_; }

    // A command (or a menu's own entry) by control name.
    QAction* action(const QString& name) const;
    QToolBar* Toolbar1() const { return toolbar_; }
    QToolButton* toolbarButton(const QString& key) const { return toolButtons_.value(key); }
    QLabel* statusPanel(int number) const;   // 1 to 4
    // The pictures of the toolbar; the second one goes on file-picking buttons.
    const QList<QIcon>& ImageList1() const { return imageList_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    frmEditor* activeEditor() const;
    QList<frmEditor*> editors() const;
    frmstart* aboutWindow() const;
    // The number of editor windows that are loaded.
    qint16 open_forms() const;

    // The toolbar: a button runs its command; a drop-down button's menu
    // inserts a snippet.
    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar1_ButtonMenuClick(const QString& key);
    // Replaces the selection of the active editor; false when there is none.
    bool InsertAtCaret(const QString& text);

    // Opens `path` in a new editor window and records it in the recent-files list.
    void open_file_function(const QString& path);
    // Opens each file in its own editor window as Open File does, from the
    // command line or dropped on the window.
    void openFiles(const QStringList& paths);
    // Saving a given editor; false when cancelled or failed.
    bool saveEditor(frmEditor* editor);
    bool saveEditorAs(frmEditor* editor);

    // The "Output" dock and the run of scripts.
    OutputDock* outputDock() const { return outputDock_; }
    MapDock* mapDock() const { return mapDock_; }
    GmtHelpDock* gmtHelpDock() const { return gmtHelp_; }
    ScriptRun* scriptRun() const { return scriptRun_; }
    // Puts the caret on a message's line and marks it, in the message's
    // file (opened when no editor shows it).
    void goToMessage(const LinkedMessage& message);

    // Tool windows: each exists at most once; showing an open one brings it
    // to the front as it is.
    QWidget* showWindow(const QString& windowName);
    QWidget* openWindow(const QString& windowName) const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Building the frame.
    void buildImageList();
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void buildOutputDock();
    void connectCommands();
    QAction* commandAction(const QString& name);
    void startUp();
    void count_open_forms();
    void showPosition(long long line, long long column, long long lines);
    static QString currentDateTimeText();
    static QString currentTimeText();

    // File commands.
    void mn_new_Click();
    void mn_open_file_Click();
    void mn_import_Click();
    void mn_save_Click();
    void mn_save_as_Click();
    void mn_print_Click();
    void mn_recent_Click(int number);   // 1 to 4
    void mn_close_Click();
    QString open_file_dialog();
    void write_reg(const QString& path);
    void readRecentCaptions();
    frmEditor* createEditor(const QString& caption);
    bool writeEditor(frmEditor* editor, const QString& path);
    void applyStoredFont(frmEditor* editor);

    // Edit, window and toolbar commands.
    void mn_undo_Click();
    void mn_cut_Click();
    void mn_copy_Click();
    void mn_paste_Click();
    void mn_mark_all_Click();
    void mn_color_Click();
    void mn_font_Click();
    void mn_cascade_Click();
    void mn_horizontal_Click();
    void mn_vertical_Click();
    void mn_icons_Click();
    void mn_open_command_Click();
    void mn_insert_file_path_Click();
    void mn_insert_file_name_Click();
    bool showInsertFileDialog(const QString& title);
    void arrangeTiled(bool horizontal);

    // Script commands.
    void runTemplate(const catalogue::ScriptTemplate& tpl);
    void mn_run_script_Click();
    // F1: the usage of the GMT module at the caret in the "GMT help" dock.
    void mn_module_help_Click();
    // The "GMT folder" setting, for a GMT that is not on PATH: the folder of
    // the gmt program picked in the open dialog.
    void mn_gmt_folder_Click();
    // Check for GMT 6: lists in the "Output" dock what GMT 6 refuses in the
    // active script; Mend all rewrites it into its GMT 6 form.
    void mn_gmt6_check_Click();
    void mn_gmt6_mend_all_Click();
    void checkGmt6(frmEditor* editor);
    // Mends one row of the list (-1: all) in `editor`, as one undo step, and
    // checks again.
    void mendGmt6(frmEditor* editor, int row);
    void mn_rem_Click();

    // The About and tool windows.
    void mn_aboutabout_Click();
    tools::ToolContext toolContext();
    void showAboutWindow();
    void centreAboutWindow();

    platform::Services services_;
    QString file_path_in_;
    // The working path of the document last opened or saved.
    QString file_path_out_;
    // The editor window last made.
    QPointer<frmEditor> frm_;
    QString gmt_html_path_;

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QList<QLabel*> panels_;
    QList<QIcon> imageList_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QToolButton*> toolButtons_;
    QHash<QString, QPointer<QWidget>> windows_;
    QPointer<QMdiSubWindow> about_;
    std::unique_ptr<ManualPages> manualPages_;
    EditorComforts* comforts_ = nullptr;
    OutputDock* outputDock_ = nullptr;
    MapDock* mapDock_ = nullptr;
    // GMT's modules and usages, read once in the background; the help dock and
    // every editor's completion share them.
    GmtModules* gmtModules_ = nullptr;
    GmtHelpDock* gmtHelp_ = nullptr;
    ScriptRun* scriptRun_ = nullptr;
    // The editor last checked for GMT 6 and the text the list is about.
    QPointer<frmEditor> gmt6Editor_;
    QString gmt6Text_;
};

}  // namespace mq::app
