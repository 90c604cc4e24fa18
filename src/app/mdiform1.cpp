// The main window: its frame (menus, toolbar, status bar, clock), start-up,
// the menu state, and closing. The commands live beside it by group.
#include "app/mdiform1.h"

#include "app/editor_comforts.h"
#include "app/frame_helpers.h"
#include "app/frmeditor.h"
#include "app/frmstart.h"
#include "app/manual_pages.h"
#include "app/menu_tree.h"
#include "app/output_dock.h"
#include "app/script_run.h"
#include "app/tool_windows.h"
#include "catalogue/script_templates.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <utility>

// The pictures live in a resource compiled into this library.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace mq::app {

using namespace frame;

MDIForm1::MDIForm1(platform::Services services, QWidget* parent)
    : QMainWindow(parent), services_(services)
{
    initResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Mapquill"));
    buildImageList();
    setWindowIcon(QIcon(QStringLiteral(":/icons/mapquill.svg")));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    mdiArea_->viewport()->installEventFilter(this);
    buildMenus();
    buildToolbar();
    buildStatusBar();
    buildOutputDock();
    connectCommands();
    resize(1000, 700);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    connect(Timer1_, &QTimer::timeout, this, [this] { statusPanel(1)->setText(currentTimeText()); });
    Timer1_->start();

    startUp();
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildImageList()
{
    static const char* const pictures[] = {
        "link", "folder", "new", "save", "cut", "copy", "paste", "undo",
        "path", "name", "color", "latlon", "cmd", "dos", "awk", "run",
    };
    for (const char* picture : pictures)
        imageList_ << QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(picture)));
}

void MDIForm1::buildMenus()
{
    for (const MenuEntry& entry : menuTree()) {
        const QString name = qs(entry.name);
        QMenu* parentMenu = entry.parent.empty() ? nullptr : menus_.value(qs(entry.parent));
        if (entry.parent.empty() || entry.submenu) {
            QMenu* m = parentMenu ? parentMenu->addMenu(qs(entry.caption)) : menuBar()->addMenu(qs(entry.caption));
            m->setObjectName(name);
            m->menuAction()->setObjectName(name);
            menus_.insert(name, m);
            continue;
        }
        QAction* a = entry.caption == "-" ? parentMenu->addSeparator() : parentMenu->addAction(qs(entry.caption));
        a->setObjectName(name);
        if (!entry.shortcut.empty()) {
            // Menu shortcuts act in the main window and its editors only; a
            // tool window's text boxes keep their own standard keys.
            a->setShortcut(QKeySequence(qs(entry.shortcut)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        a->setVisible(entry.visible);
        a->setEnabled(entry.enabled);
        actions_.insert(name, a);
    }
    // The Window menu lists the open child windows after its own entries.
    QMenu* windowMenu = menus_.value(QStringLiteral("mn_window"));
    connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] {
        const auto old = windowMenu->findChildren<QAction*>(QStringLiteral("window_list_entry"));
        for (QAction* a : old) {
            windowMenu->removeAction(a);
            a->deleteLater();
        }
        const auto windows = mdiArea_->subWindowList();
        if (windows.isEmpty()) return;
        QAction* line = windowMenu->addSeparator();
        line->setObjectName(QStringLiteral("window_list_entry"));
        int number = 0;
        for (QMdiSubWindow* w : windows) {
            QString title = w->windowTitle();
            title.replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));   // see frmEditor::showCaption
            title.replace(QLatin1Char('&'), QStringLiteral("&&"));
            QAction* a = windowMenu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title));
            a->setObjectName(QStringLiteral("window_list_entry"));
            a->setCheckable(true);
            a->setChecked(w == mdiArea_->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(w)] {
                if (w) mdiArea_->setActiveSubWindow(w);
            });
        }
    });
}

QAction* MDIForm1::commandAction(const QString& name)
{
    // A command without a menu entry is made here, once.
    QAction*& command = actions_[name];
    if (!command) {
        command = new QAction(this);
        command->setObjectName(name);
    }
    return command;
}

void MDIForm1::buildToolbar()
{
    struct Button {
        const char* key;
        const char* tooltip;
        int picture;           // index into ImageList1
        const char* command;   // the action it shares; none: the tool window of its key, if any
    };
    static const Button buttons[] = {
        {"New", "New File", 2, "mn_new"}, {"Open", "Open File", 1, "mn_open_file"},
        {"Save", "Save File", 3, "mn_save"}, {},
        {"Cut", "Cut", 4, "mn_cut"}, {"Copy", "Copy", 5, "mn_copy"}, {"Paste", "Paste", 6, "mn_paste"},
        {"Undo", "Undo", 7, "mn_undo"}, {},
        {"Path", "Insert File Path", 8, "mn_insert_file_path"},
        {"Name", "Insert File Title", 9, "mn_insert_file_name"},
        {"Color", "Open Color Mixer", 10, nullptr}, {"Lat_Lon", "Open Lat/Lon Converter", 11, nullptr},
        {"cmd", "Open Command Window", 12, "mn_open_command"},
        {"dos", "DOS script commands", 13, nullptr}, {"awk", "AWK scripts", 14, nullptr}, {},
        {"Run", "Run script", 15, "mn_run_script"},
    };
    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(22, 22));
    for (const Button& b : buttons) {
        if (!b.key) {
            toolbar_->addSeparator();
            continue;
        }
        const QString key = QLatin1String(b.key);
        auto* button = new QToolButton(toolbar_);
        button->setObjectName(QStringLiteral("Toolbar1_") + key);
        button->setProperty("key", key);
        button->setAutoRaise(true);
        toolbar_->addWidget(button);
        toolButtons_.insert(key, button);
        QString command = b.command ? QLatin1String(b.command) : QString();
        for (const ToolWindowEntry& entry : toolWindowTable())
            if (command.isEmpty() && qs(entry.toolbarKey) == key) command = qs(entry.menuEntry);
        if (!command.isEmpty()) {
            // The button and the menu entry are the one action; the menu
            // shows no picture.
            QAction* shared = commandAction(command);
            shared->setToolTip(QLatin1String(b.tooltip));
            shared->setIcon(imageList_.value(b.picture));
            shared->setIconVisibleInMenu(false);
            button->setDefaultAction(shared);
            continue;
        }
        button->setToolTip(QLatin1String(b.tooltip));
        button->setIcon(imageList_.value(b.picture));
        // A snippet button: its face does nothing, its menu inserts.
        auto* menu = new QMenu(button);
        menu->setObjectName(QStringLiteral("Toolbar1_") + key + QStringLiteral("_menu"));
        for (const auto& entry : catalogue::snippetMenuEntries()) {
            if (qs(entry.buttonKey) != key) continue;
            QAction* a = menu->addAction(qs(entry.snippet.caption));
            a->setData(qs(entry.snippet.name));
            a->setObjectName(QStringLiteral("snippet_") + qs(entry.snippet.name));
        }
        connect(menu, &QMenu::triggered, this,
                [this](QAction* a) { Toolbar1_ButtonMenuClick(a->data().toString()); });
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void MDIForm1::buildStatusBar()
{
    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 1; i <= 4; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        bar->addPermanentWidget(panel, 1);
        panels_ << panel;
    }
}

void MDIForm1::connectCommands()
{
    manualPages_ = std::make_unique<ManualPages>(services_, gmt_html_path_);
    comforts_ = new EditorComforts(*this);
    EditorComforts* comforts = comforts_;
    ManualPages* pages = manualPages_.get();
    const auto bind = [this](const QString& name, std::function<void()> run) {
        if (QAction* a = actions_.value(name)) connect(a, &QAction::triggered, this, std::move(run));
    };

    // Every command's handler, by the control name of its action.
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"mn_new", [this] { mn_new_Click(); }},
        {"mn_open_file", [this] { mn_open_file_Click(); }},
        {"mn_import", [this] { mn_import_Click(); }},
        {"mn_save", [this] { mn_save_Click(); }},
        {"mn_save_as", [this] { mn_save_as_Click(); }},
        {"mn_open_command", [this] { mn_open_command_Click(); }},
        {"mn_print", [this] { mn_print_Click(); }},
        {"mn_1_1", [this] { mn_recent_Click(1); }},
        {"mn_2_2", [this] { mn_recent_Click(2); }},
        {"mn_3_3", [this] { mn_recent_Click(3); }},
        {"mn_4_4", [this] { mn_recent_Click(4); }},
        {"mn_close", [this] { mn_close_Click(); }},
        {"mn_undo", [this] { mn_undo_Click(); }},
        {"mn_cut", [this] { mn_cut_Click(); }},
        {"mn_copy", [this] { mn_copy_Click(); }},
        {"mn_paste", [this] { mn_paste_Click(); }},
        {"mn_mark_all", [this] { mn_mark_all_Click(); }},
        {"mn_color", [this] { mn_color_Click(); }},
        {"mn_font", [this] { mn_font_Click(); }},
        {"mn_find", [comforts] { comforts->mn_find_Click(); }},
        {"mn_find_next", [comforts] { comforts->mn_find_next_Click(); }},
        {"mn_find_previous", [comforts] { comforts->mn_find_previous_Click(); }},
        {"mn_replace_text", [comforts] { comforts->mn_replace_text_Click(); }},
        {"mn_go_to_line", [comforts] { comforts->mn_go_to_line_Click(); }},
        {"mn_syntax_highlighting",
         [this, comforts] {
             comforts->setHighlightingEnabled(action(QStringLiteral("mn_syntax_highlighting"))->isChecked());
         }},
        {"mn_insert_file_path", [this] { mn_insert_file_path_Click(); }},
        {"mn_insert_file_name", [this] { mn_insert_file_name_Click(); }},
        {"mn_rem", [this] { mn_rem_Click(); }},
        {"mn_horizontal", [this] { mn_horizontal_Click(); }},
        {"mn_vertical", [this] { mn_vertical_Click(); }},
        {"mn_cascade", [this] { mn_cascade_Click(); }},
        {"mn_icons", [this] { mn_icons_Click(); }},
        {"mn_gmt_online_help", [pages] { pages->mn_gmt_online_help_Click(); }},
        {"mn_set_gmt_html_path", [pages] { pages->mn_set_gmt_html_path_Click(); }},
        {"mn_aboutabout", [this] { mn_aboutabout_Click(); }},
        {"mn_run_script", [this] { mn_run_script_Click(); }},
        {"mn_next_message", [this] { outputDock_->chooseNext(1); }},
        {"mn_previous_message", [this] { outputDock_->chooseNext(-1); }},
        {"mn_module_help", [this] { mn_module_help_Click(); }},
        {"mn_gmt_folder", [this] { mn_gmt_folder_Click(); }},
        {"mn_gmt6_check", [this] { mn_gmt6_check_Click(); }},
        {"mn_gmt6_mend_all", [this] { mn_gmt6_mend_all_Click(); }},
    };
    for (const auto& [name, run] : commands) bind(QLatin1String(name), run);
    // The commands of the data tables: templates, GMT manual pages, tool windows.
    for (const auto& tpl : catalogue::scriptTemplates())
        bind(qs(tpl.name), [this, t = &tpl] { runTemplate(*t); });
    for (const ManualPageEntry& entry : manualPageEntries())
        bind(qs(entry.menuEntry), [pages, page = qs(entry.page)] { pages->change_internet_exp(page); });
    for (const ToolWindowEntry& entry : toolWindowTable())
        bind(qs(entry.menuEntry), [this, w = qs(entry.windowName)] { showWindow(w); });
}

QAction* MDIForm1::action(const QString& name) const
{
    if (QAction* a = actions_.value(name)) return a;
    if (QMenu* m = menus_.value(name)) return m->menuAction();
    return nullptr;
}

QLabel* MDIForm1::statusPanel(int number) const { return panels_.value(number - 1); }

frmEditor* MDIForm1::activeEditor() const
{
    QMdiSubWindow* sub = mdiArea_->activeSubWindow();
    return sub ? qobject_cast<frmEditor*>(sub->widget()) : nullptr;
}

QList<frmEditor*> MDIForm1::editors() const
{
    QList<frmEditor*> result;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (auto* editor = qobject_cast<frmEditor*>(sub->widget())) result << editor;
    return result;
}

frmstart* MDIForm1::aboutWindow() const
{
    return about_ ? qobject_cast<frmstart*>(about_->widget()) : nullptr;
}

QString MDIForm1::currentTimeText()
{
    // The locale's long time form, without the time zone that Qt adds to it.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return QLocale::system().toString(QTime::currentTime(), format.trimmed());
}

QString MDIForm1::currentDateTimeText()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat) + QStringLiteral("  /  ") +
           currentTimeText();
}

void MDIForm1::startUp()
{
    statusPanel(1)->setText(currentTimeText());
    readRecentCaptions();
    gmt_html_path_ = services_.settings->get(QStringLiteral("GMT html path"), QStringLiteral("Path"));
    auto writeDefault = [this](const char* key, const char* value) {
        if (services_.settings->get(QStringLiteral("Text"), QLatin1String(key)).isEmpty())
            services_.settings->set(QStringLiteral("Text"), QLatin1String(key), QLatin1String(value));
    };
    writeDefault("Font_Size", "9");
    writeDefault("Font_Name", "Arial");
    writeDefault("Font_Color", "0");
    count_open_forms();
    showAboutWindow();
}

qint16 MDIForm1::open_forms() const
{
    const auto all = editors();
    return qint16(std::count_if(all.begin(), all.end(), [](frmEditor* e) { return !e->isUnloaded(); }));
}

void MDIForm1::count_open_forms()
{
    // The one place that enables and disables commands. It runs at start-up,
    // after New, every opening and every click on a recent file, and when an
    // editor unloads; for Run script also when another window becomes the
    // active one and after Save File as. The editing menus follow the first
    // editor in and the last one out; Color and Script stay enabled, as does
    // every toolbar button and Save File.
    static const char* const editing[] = {"mn_edit", "mn_grid", "mn_map", "mn_text", "mn_import"};
    static const char* const alwaysOn[] = {"mn_color_gmt", "mn_script"};
    const qint16 forms = open_forms();
    if (forms == 0) {
        for (const char* name : editing) action(QLatin1String(name))->setEnabled(false);
        for (int i = 2; i <= 4; ++i) statusPanel(i)->clear();
    } else if (forms == 1) {
        for (const char* name : editing) action(QLatin1String(name))->setEnabled(true);
        for (const char* name : alwaysOn) action(QLatin1String(name))->setEnabled(true);
    }
    // Run script follows the active editor's kind of script; its tooltip
    // says why it cannot run one.
    QAction* run = action(QStringLiteral("mn_run_script"));
    frmEditor* editor = activeEditor();
    const QString reason = editor ? scriptRun_->unavailableReason(editor->documentPath()) : QString();
    run->setEnabled(editor && reason.isEmpty());
    run->setToolTip(reason.isEmpty() ? QStringLiteral("Run script") : QStringLiteral("Run script: ") + reason);
    // The GMT 6 check works on the active editor's text.
    for (const char* name : {"mn_gmt6_check", "mn_gmt6_mend_all"})
        action(QLatin1String(name))->setEnabled(editor != nullptr);
}

void MDIForm1::showPosition(long long line, long long column, long long lines)
{
    statusPanel(2)->setText(QStringLiteral("Line: %1").arg(line));
    statusPanel(3)->setText(QStringLiteral("Column: %1").arg(column));
    statusPanel(4)->setText(QStringLiteral("Length: %1").arg(lines));
}

void MDIForm1::mn_close_Click()
{
    frm_ = nullptr;
    close();
}

void MDIForm1::closeEvent(QCloseEvent* e)
{
    // Every editor is asked first; one Cancel keeps everything open.
    for (frmEditor* editor : editors()) {
        if (!editor->queryClose()) {
            e->ignore();
            return;
        }
    }
    frm_ = nullptr;
    for (frmEditor* editor : editors()) editor->closeWithoutAsking();
    mdiArea_->closeAllSubWindows();
    for (const QPointer<QWidget>& window : std::as_const(windows_))
        if (window) window->close();
    e->accept();
}

}  // namespace mq::app
