// The main window: menus, toolbar, status bar and the editor windows.
#pragma once

#include "platform/platform.h"
#include "common/ui/tool_context.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

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

class frmEditor;
class frmstart;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(platform::Services services, QWidget* parent = nullptr);
    ~MDIForm1() override;

    // Shared fields other windows read and write.
    // The shared fields: the path last picked (`file_path_in`), the working
    // path of the document being opened or saved, the editor last made, and
    // the folder of the GMT manual.
    const QString& file_path_in() const { return file_path_in_; }
    void set_file_path_in(const QString& path) { file_path_in_ = path; }
    const QString& file_path_out() const { return file_path_out_; }
    frmEditor* frm() const;
    QString& gmt_html_path() { return gmt_html_path_; }

    platform::Services services() const { return services_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QAction* action(const QString& name) const;   // a menu entry by control name
    QMenu* menu(const QString& name) const;       // a menu by control name
    QToolBar* Toolbar1() const { return toolbar_; }
    QToolButton* toolbarButton(const QString& key) const;
    QLabel* statusPanel(int number) const;        // 1 to 4
    // The pictures of the toolbar; the second one goes on file-picking buttons.
    const QList<QIcon>& ImageList1() const { return imageList_; }
    frmEditor* activeEditor() const;
    QList<frmEditor*> editors() const;
    frmstart* aboutWindow() const;

    // The number of editor windows that are loaded.
    qint16 open_forms() const;
    void count_open_forms();

    // File commands.
    void mn_new_Click();
    void mn_open_file_Click();
    void mn_import_Click();
    void mn_save_Click();
    void mn_save_as_Click();
    void mn_print_Click();
    void mn_recent_Click(int number);   // 1 to 4
    void mn_close_Click();
    void open_file_function();
    // Opens each file in its own editor window as Open File does, from the
    // command line or dropped on the window.
    void openFiles(const QStringList& paths);
    void write_reg();
    QString open_file_dialog();
    // Saving a given editor; false when cancelled or failed.
    bool saveEditor(frmEditor* editor);
    bool saveEditorAs(frmEditor* editor);

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
    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar1_ButtonMenuClick(const QString& key);

    // Script commands.
    bool InsertAtCaret(const QString& text);
    void runTemplate(const catalogue::ScriptTemplate& tpl);
    void mn_rem_Click();
    void mn_aboutabout_Click();

    // Tool windows: each exists at most once; showing an open one brings it
    // to the front as it is.
    QWidget* showWindow(const QString& windowName);
    QWidget* openWindow(const QString& windowName) const;

    // Called by the editor windows.
    void showPosition(long long line, long long column, long long lines);
    void activateEditor(frmEditor* editor);
    void editorUnloaded(frmEditor* editor);

    // The date and time texts of the user's locale.
    static QString currentDateTimeText();
    static QString currentTimeText();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString file_path_in_;
    QString file_path_out_;
    QPointer<frmEditor> frm_;
    QString gmt_html_path_;

    tools::ToolContext toolContext();
    void buildImageList();
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void connectCommands();
    void startUp();
    void showAboutWindow();
    void centreAboutWindow();
    frmEditor* createEditor(const QString& caption);
    bool writeEditor(frmEditor* editor, const QString& path);
    void applyStoredFont(frmEditor* editor);
    bool showInsertFileDialog(const QString& title);
    void readRecentCaptions();
    void arrangeTiled(bool horizontal);

    platform::Services services_;
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
};

}  // namespace mq::app
