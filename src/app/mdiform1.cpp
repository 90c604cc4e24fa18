#include "app/mdiform1.h"
#include "app/tool_windows.h"
#include "app/manual_pages.h"

#include "app/editor_comforts.h"
#include "app/core/document_rules.h"
#include "app/core/file_io.h"
#include "app/core/script_codec.h"
#include "app/frmeditor.h"
#include "app/frmstart.h"
#include "app/menu_tree.h"
#include "catalogue/comment_toggle.h"
#include "catalogue/script_templates.h"
#include "common/number_rules.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QWindow>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

// The pictures live in a resource compiled into this library.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace mq::app {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Menu texts built from paths: a single "&" would mark an access key.
QString menuText(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }
QString fromMenuText(QString text) { return text.replace(QStringLiteral("&&"), QStringLiteral("&")); }

// A path in a message: its blanks do not break the line.
QString shownPath(QString path) { return path.replace(QLatin1Char(' '), QChar(QChar::Nbsp)); }

// Font sizes the editor accepts, in points.
constexpr double kSmallestFontSize = 1.0;
constexpr double kLargestFontSize = 400.0;
bool isSaneFontSize(double size) { return size >= kSmallestFontSize && size <= kLargestFontSize; }

// Where a tool window first appears: a little inside the main window's top
// left corner, moved back onto the screen where it would stick out.
QPoint placeNear(const QRect& owner, const QSize& size, const QRect& screen)
{
    QPoint at = owner.topLeft() + QPoint(60, 90);
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height())));
    return at;
}

}  // namespace

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
        "path", "name", "color", "latlon", "cmd", "dos", "awk",
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

void MDIForm1::buildToolbar()
{
    struct Button {
        const char* key;
        const char* tooltip;
        int picture;   // index into ImageList1
    };
    static const Button buttons[] = {
        {"New", "New File", 2}, {"Open", "Open File", 1}, {"Save", "Save File", 3}, {nullptr, nullptr, 0},
        {"Cut", "Cut", 4}, {"Copy", "Copy", 5}, {"Paste", "Paste", 6}, {"Undo", "Undo", 7},
        {nullptr, nullptr, 0}, {"Path", "Insert File Path", 8}, {"Name", "Insert File Title", 9},
        {"Color", "Open Color Mixer", 10}, {"Lat_Lon", "Open Lat/Lon Converter", 11},
        {"cmd", "Open Command Window", 12}, {"dos", "DOS script commands", 13},
        {"awk", "AWK scripts", 14},
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
        button->setToolTip(QLatin1String(b.tooltip));
        button->setIcon(imageList_.value(b.picture));
        button->setAutoRaise(true);
        toolbar_->addWidget(button);
        toolButtons_.insert(key, button);
        if (key == QLatin1String("dos") || key == QLatin1String("awk")) {
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
        connect(button, &QToolButton::clicked, this, [this, key] { Toolbar1_ButtonClick(key); });
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
    const QHash<QString, std::function<void()>> commands = {
        {QStringLiteral("mn_new"), [this] { mn_new_Click(); }},
        {QStringLiteral("mn_open_file"), [this] { mn_open_file_Click(); }},
        {QStringLiteral("mn_import"), [this] { mn_import_Click(); }},
        {QStringLiteral("mn_save"), [this] { mn_save_Click(); }},
        {QStringLiteral("mn_save_as"), [this] { mn_save_as_Click(); }},
        {QStringLiteral("mn_open_command"), [this] { mn_open_command_Click(); }},
        {QStringLiteral("mn_print"), [this] { mn_print_Click(); }},
        {QStringLiteral("mn_1_1"), [this] { mn_recent_Click(1); }},
        {QStringLiteral("mn_2_2"), [this] { mn_recent_Click(2); }},
        {QStringLiteral("mn_3_3"), [this] { mn_recent_Click(3); }},
        {QStringLiteral("mn_4_4"), [this] { mn_recent_Click(4); }},
        {QStringLiteral("mn_close"), [this] { mn_close_Click(); }},
        {QStringLiteral("mn_undo"), [this] { mn_undo_Click(); }},
        {QStringLiteral("mn_cut"), [this] { mn_cut_Click(); }},
        {QStringLiteral("mn_copy"), [this] { mn_copy_Click(); }},
        {QStringLiteral("mn_paste"), [this] { mn_paste_Click(); }},
        {QStringLiteral("mn_mark_all"), [this] { mn_mark_all_Click(); }},
        {QStringLiteral("mn_color"), [this] { mn_color_Click(); }},
        {QStringLiteral("mn_font"), [this] { mn_font_Click(); }},
        {QStringLiteral("mn_rem"), [this] { mn_rem_Click(); }},
        {QStringLiteral("mn_horizontal"), [this] { mn_horizontal_Click(); }},
        {QStringLiteral("mn_vertical"), [this] { mn_vertical_Click(); }},
        {QStringLiteral("mn_cascade"), [this] { mn_cascade_Click(); }},
        {QStringLiteral("mn_icons"), [this] { mn_icons_Click(); }},
        {QStringLiteral("mn_aboutabout"), [this] { mn_aboutabout_Click(); }},
    };
    for (auto it = commands.cbegin(); it != commands.cend(); ++it)
        if (QAction* a = actions_.value(it.key())) connect(a, &QAction::triggered, this, it.value());
    for (const auto& tpl : catalogue::scriptTemplates())
        if (QAction* a = actions_.value(qs(tpl.name)))
            connect(a, &QAction::triggered, this, [this, t = &tpl] { runTemplate(*t); });
    for (const ToolWindowEntry& entry : toolWindowTable())
        if (QAction* a = actions_.value(qs(entry.menuEntry)))
            connect(a, &QAction::triggered, this, [this, w = qs(entry.windowName)] { showWindow(w); });

    // The GMT manual pages: GMT Help entries and the About menu's html entries.
    connectManualPages(*this);
    // Highlighting, find and replace, Go to Line, dropped files.
    connectEditorComforts(*this);
}

QAction* MDIForm1::action(const QString& name) const
{
    if (QAction* a = actions_.value(name)) return a;
    if (QMenu* m = menus_.value(name)) return m->menuAction();
    return nullptr;
}

QMenu* MDIForm1::menu(const QString& name) const { return menus_.value(name); }
QToolButton* MDIForm1::toolbarButton(const QString& key) const { return toolButtons_.value(key); }
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
    gmt_html_path = services_.settings->get(QStringLiteral("GMT html path"), QStringLiteral("Path"));
    auto writeDefault = [this](const char* key, const char* value) {
        if (services_.settings->get(QStringLiteral("Text"), QLatin1String(key)).isEmpty())
            services_.settings->set(QStringLiteral("Text"), QLatin1String(key), QLatin1String(value));
    };
    writeDefault("Font_Size", "9");
    writeDefault("Font_Name", "Arial");
    writeDefault("Font_Color", "0");
    open_forms = 0;
    count_open_forms();
    showAboutWindow();
}

void MDIForm1::readRecentCaptions()
{
    for (int number = 4; number >= 1; --number) {
        const QString key = QStringLiteral("%1_%1").arg(number);
        const QString path = services_.settings->get(QStringLiteral("Files"), key);
        action(QStringLiteral("mn_") + key)->setText(menuText(qs(recentCaption(number, path.toStdString()))));
    }
}

void MDIForm1::count_open_forms()
{
    if (open_forms == 0) {
        for (const char* name : {"mn_edit", "mn_grid", "mn_map", "mn_text", "mn_import"})
            action(QLatin1String(name))->setEnabled(false);
        for (int i = 2; i <= 4; ++i) statusPanel(i)->clear();
    } else if (open_forms == 1) {
        for (const char* name : {"mn_import", "mn_edit", "mn_grid", "mn_map", "mn_color_gmt", "mn_text", "mn_script"})
            action(QLatin1String(name))->setEnabled(true);
    }
}

void MDIForm1::showPosition(long long line, long long column, long long lines)
{
    statusPanel(2)->setText(QStringLiteral("Line: %1").arg(line));
    statusPanel(3)->setText(QStringLiteral("Column: %1").arg(column));
    statusPanel(4)->setText(QStringLiteral("Length: %1").arg(lines));
}

void MDIForm1::activateEditor(frmEditor* editor)
{
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (sub->widget() == editor) mdiArea_->setActiveSubWindow(sub);
}

void MDIForm1::editorUnloaded(frmEditor*)
{
    count_open_forms();
}

// ---------------------------------------------------------------- windows

tools::ToolContext MDIForm1::toolContext()
{
    tools::ToolContext context;
    context.services = services_;
    context.openFileDialog = [this] { return open_file_dialog(); };
    context.filePicture = imageList_.value(1);
    context.owner = this;
    return context;
}

QWidget* MDIForm1::openWindow(const QString& windowName) const
{
    return windows_.value(windowName).data();
}

QWidget* MDIForm1::showWindow(const QString& windowName)
{
    QWidget* window = windows_.value(windowName);
    if (!window) {
        const auto& table = toolWindowTable();
        const auto entry = std::find_if(table.begin(), table.end(), [&](const ToolWindowEntry& e) {
            return qs(e.windowName) == windowName;
        });
        if (entry == table.end()) return nullptr;
        window = entry->create(toolContext());
        if (!window) return nullptr;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowIcon(windowIcon());
        // Owned by the main window: it stays above it and moves with it in
        // the window list; first shown near the main window's top left.
        // (X11 window managers honour an owner only for dialog-type windows.)
        window->setParent(this, (window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog | Qt::WindowTitleHint |
                                    Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        window->winId();   // creates its native window, so it can be given its owner
        if (window->windowHandle() && windowHandle()) window->windowHandle()->setTransientParent(windowHandle());
        window->move(placeNear(frameGeometry(), window->frameGeometry().size(), screen()->availableGeometry()));
        windows_.insert(windowName, window);
    }
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void MDIForm1::showAboutWindow()
{
    if (!about_) {
        auto* about = new frmstart(*this);
        about_ = mdiArea_->addSubWindow(about, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        about_->setAttribute(Qt::WA_DeleteOnClose);
        about_->setWindowIcon(windowIcon());
        about_->adjustSize();
        about_->setFixedSize(about_->sizeHint());
    }
    about_->show();
    centreAboutWindow();
    mdiArea_->setActiveSubWindow(about_);
}

void MDIForm1::centreAboutWindow()
{
    if (!about_ || about_->isHidden()) return;
    if (auto* about = aboutWindow()) about->Form_Load();
    const QSize area = mdiArea_->viewport()->size();
    // Centred, but never above or left of the visible area, so its title bar
    // and close button stay reachable in a small main window.
    about_->move(std::max(0, (area.width() - about_->width()) / 2), std::max(0, (area.height() - about_->height()) / 2));
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* e)
{
    // The main window's client area follows every change of its size.
    if (watched == mdiArea_->viewport() && e->type() == QEvent::Resize) centreAboutWindow();
    return QMainWindow::eventFilter(watched, e);
}

void MDIForm1::mn_aboutabout_Click()
{
    if (open_forms >= 1)
        for (QMdiSubWindow* sub : mdiArea_->subWindowList())
            if (qobject_cast<frmEditor*>(sub->widget())) sub->showMinimized();
    showAboutWindow();
}

// ---------------------------------------------------------------- closing

void MDIForm1::mn_close_Click()
{
    frm = nullptr;
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
    frm = nullptr;
    for (frmEditor* editor : editors()) editor->closeConfirmed_ = true;
    mdiArea_->closeAllSubWindows();
    for (const QPointer<QWidget>& window : std::as_const(windows_))
        if (window) window->close();
    e->accept();
}

// ---------------------------------------------------------------- editing

bool MDIForm1::InsertAtCaret(const QString& text)
{
    frmEditor* editor = activeEditor();
    if (!editor) return false;
    editor->insertAtCaret(text);
    return true;
}

void MDIForm1::runTemplate(const catalogue::ScriptTemplate& tpl)
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    editor->beginCompoundEdit();
    for (const std::string& piece : catalogue::expandPieces(tpl, currentDateTimeText().toStdString()))
        editor->insertAtCaret(QString::fromStdString(piece));
    editor->endCompoundEdit();
    if (tpl.focusAfter) editor->Text1->setFocus();
}

void MDIForm1::mn_rem_Click()
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const std::string toggled = catalogue::toggle_rem(editor->selectedText().toStdString());
    editor->insertAtCaret(QString::fromStdString(toggled));
}

void MDIForm1::mn_undo_Click()
{
    if (frmEditor* editor = activeEditor()) editor->Text1->undo();
}

void MDIForm1::mn_cut_Click()
{
    services_.clipboard->clear();
    frmEditor* editor = activeEditor();
    if (!editor) return;
    services_.clipboard->setText(editor->selectedText());
    editor->insertAtCaret(QString());
}

void MDIForm1::mn_copy_Click()
{
    services_.clipboard->clear();
    if (frmEditor* editor = activeEditor()) services_.clipboard->setText(editor->selectedText());
}

void MDIForm1::mn_paste_Click()
{
    // A paste is an undo step of its own, apart from the typing around it.
    const QString text = services_.clipboard->text() + QLatin1Char(' ');
    frmEditor* editor = activeEditor();
    if (!editor) return;
    editor->insertAsOneStep(text);
}

void MDIForm1::mn_mark_all_Click()
{
    if (frmEditor* editor = activeEditor()) editor->Text1->selectAll();
}

void MDIForm1::mn_color_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    if (!dialog.showColor()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const quint32 color = dialog.state().color;
    editor->setTextColor(color);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Color"), QString::number(color));
}

void MDIForm1::mn_font_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    dialog.state().screenFonts = true;
    dialog.state().fontEffects = true;
    if (!dialog.showFont()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const double size = dialog.state().fontSize;
    if (!isSaneFontSize(size)) {
        services_.messages->show(QStringLiteral("The font size %1 is not between 1 and 400 points; the font was not changed.")
                                     .arg(qs(numbers::general_text(size))),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                                 QStringLiteral("Font"));
        return;
    }
    QFont font = editor->Text1->font();
    font.setFamily(dialog.state().fontName);
    font.setPointSizeF(size);
    editor->Text1->setFont(font);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Name"), dialog.state().fontName);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Size"),
                            qs(numbers::general_text(size)));
}

void MDIForm1::mn_cascade_Click() { mdiArea_->cascadeSubWindows(); }
void MDIForm1::mn_horizontal_Click() { arrangeTiled(true); }
void MDIForm1::mn_vertical_Click() { arrangeTiled(false); }

void MDIForm1::arrangeTiled(bool horizontal)
{
    QList<QMdiSubWindow*> windows;
    // The editors only: the About window keeps its fixed size and place.
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (qobject_cast<frmEditor*>(sub->widget()) && sub->isVisible() && !sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    const QRect area = mdiArea_->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized()) sub->showNormal();
        if (horizontal) {
            const int top = area.height() * i / count, bottom = area.height() * (i + 1) / count;
            sub->setGeometry(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * i / count, right = area.width() * (i + 1) / count;
            sub->setGeometry(left, 0, right - left, area.height());
        }
    }
}

void MDIForm1::mn_icons_Click()
{
    // Minimized windows line up along the bottom edge.
    const QRect area = mdiArea_->viewport()->rect();
    int x = 0, y = area.height();
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void MDIForm1::mn_open_command_Click()
{
    if (services_.programs->startCommandWindow(QDir::currentPath())) return;
    services_.messages->show(QStringLiteral("No command window could be started: no terminal program was found."),
                             platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                             QStringLiteral("Start a Command Window"));
}

bool MDIForm1::showInsertFileDialog(const QString& title)
{
    auto& dialog = *services_.dialog;
    auto& s = dialog.state();
    s.cancelError = true;
    s.hideReadOnly = true;
    s.explorerStyle = true;
    s.initDir = QDir::currentPath();
    s.fileName.clear();   // a name left from the last use would move the dialog to its folder
    s.filter = qs(kInsertFilter);
    s.filterIndex = 2;
    s.dialogTitle = title;
    return dialog.showOpen();
}

void MDIForm1::mn_insert_file_path_Click()
{
    if (!showInsertFileDialog(QStringLiteral("Insert File Path ..."))) return;
    if (!InsertAtCaret(services_.dialog->state().fileName + QLatin1Char(' '))) return;
    activeEditor()->Text1->setFocus();
}

void MDIForm1::mn_insert_file_name_Click()
{
    if (!showInsertFileDialog(QStringLiteral("Insert File Name ..."))) return;
    const auto name = insertableFileName(services_.dialog->state().fileName.toStdString());
    if (!name) return;
    if (!InsertAtCaret(QString::fromStdString(*name) + QLatin1Char(' '))) return;
    activeEditor()->Text1->setFocus();
}

void MDIForm1::Toolbar1_ButtonClick(const QString& key)
{
    if (key == QLatin1String("New")) mn_new_Click();
    else if (key == QLatin1String("Open")) mn_open_file_Click();
    else if (key == QLatin1String("Save")) mn_save_Click();
    else if (key == QLatin1String("Cut")) mn_cut_Click();
    else if (key == QLatin1String("Copy")) mn_copy_Click();
    else if (key == QLatin1String("Paste")) mn_paste_Click();
    else if (key == QLatin1String("Undo")) mn_undo_Click();
    else if (key == QLatin1String("Path")) mn_insert_file_path_Click();
    else if (key == QLatin1String("Name")) mn_insert_file_name_Click();
    else if (key == QLatin1String("cmd")) mn_open_command_Click();
    else
        for (const ToolWindowEntry& entry : toolWindowTable())
            if (!entry.toolbarKey.empty() && qs(entry.toolbarKey) == key) showWindow(qs(entry.windowName));
}

void MDIForm1::Toolbar1_ButtonMenuClick(const QString& key)
{
    // Snippets never move the focus.
    if (const catalogue::ScriptTemplate* snippet = catalogue::findSnippet(key.toStdString())) runTemplate(*snippet);
}

// ---------------------------------------------------------------- files

frmEditor* MDIForm1::createEditor(const QString& caption)
{
    auto* editor = new frmEditor(*this);
    editor->setCaption(caption);
    QMdiSubWindow* sub = mdiArea_->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // Ctrl+W starts the command window; an editor closes with Ctrl+F4.
    if (QMenu* systemMenu = sub->systemMenu())
        for (QAction* a : systemMenu->actions())
            if (a->shortcut() == QKeySequence(QKeySequence::Close) || a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_W))
                a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    // New windows take most of the frame, each a little below the previous one.
    const QSize area = mdiArea_->viewport()->size();
    const int offset = 24 * int(editors().size() - 1) % std::max(1, area.height() / 3);
    sub->resize(std::max(420, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
    sub->move(offset, offset);
    frm = editor;
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
    return editor;
}

void MDIForm1::mn_new_Click()
{
    createEditor(QStringLiteral("'Script"));
    count_open_forms();
}

QString MDIForm1::open_file_dialog()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    dialog.state().filter = qs(kOpenFilter);
    dialog.state().dialogTitle = QStringLiteral("Open File ...");
    if (!dialog.showOpen()) {
        file_path_in.clear();
        return {};
    }
    file_path_in = dialog.state().fileName;
    file_path_out = file_path_in;
    return file_path_in;
}

void MDIForm1::mn_open_file_Click()
{
    file_path_in.clear();
    open_file_dialog();
    if (!file_path_in.isEmpty()) open_file_function();
}

void MDIForm1::applyStoredFont(frmEditor* editor)
{
    auto& settings = *services_.settings;
    QFont font = editor->Text1->font();
    const auto size = numbers::read_number(settings.get(QStringLiteral("Text"), QStringLiteral("Font_Size")).toStdString());
    if (size && isSaneFontSize(*size)) font.setPointSize(int(numbers::round_to(*size, 0)));
    const QString name = settings.get(QStringLiteral("Text"), QStringLiteral("Font_Name"));
    if (!name.isEmpty()) font.setFamily(name);
    editor->Text1->setFont(font);
    bool ok = false;
    const quint32 color = settings.get(QStringLiteral("Text"), QStringLiteral("Font_Color")).toUInt(&ok);
    if (ok) editor->setTextColor(color);
}

void MDIForm1::open_file_function()
{
    file_path_out = file_path_in;
    const ReadResult read = readWholeFile(localPath(file_path_in));
    if (!read.ok) {
        if (read.errorKind == ReadErrorKind::NotFound) {
            services_.messages->show(QStringLiteral("File moved or deleted, however it couldn't be found.\r\n\r\n") +
                                         shownPath(file_path_in),
                                     platform::MessageButtons::Ok, platform::MessageIcon::Question,
                                     QStringLiteral("File not found"));
        } else {
            services_.messages->show(QStringLiteral("function: open_file_function:  75  ") + qs(read.reason) +
                                         QStringLiteral("\r\n\r\n") + shownPath(file_path_in),
                                     platform::MessageButtons::Ok, platform::MessageIcon::None,
                                     QStringLiteral("Mapquill"));
        }
        return;
    }
    frmEditor* editor = createEditor(QStringLiteral("'Script"));
    applyStoredFont(editor);
    editor->loadFileBytes(read.bytes);
    editor->setDocument(file_path_out, true);
    editor->Text1->moveCursor(QTextCursor::Start);
    editor->Text1->setFocus();
    action(QStringLiteral("mn_save"))->setEnabled(true);
    count_open_forms();
    write_reg();
}

void MDIForm1::openFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        file_path_in = QFileInfo(path).absoluteFilePath();
        open_file_function();
    }
}

void MDIForm1::write_reg()
{
    RecentFiles entries;
    for (int i = 0; i < 4; ++i)
        entries[size_t(i)] = pathFromRecentCaption(
            fromMenuText(action(QStringLiteral("mn_%1_%1").arg(i + 1))->text()).toStdString());
    if (!recordRecentFile(entries, file_path_in.toStdString())) return;
    for (int number = 4; number >= 1; --number) {
        const QString key = QStringLiteral("%1_%1").arg(number);
        const std::string& path = entries[size_t(number - 1)];
        action(QStringLiteral("mn_") + key)->setText(menuText(qs(recentCaption(number, path))));
        services_.settings->set(QStringLiteral("Files"), key, qs(path));
    }
}

void MDIForm1::mn_recent_Click(int number)
{
    const QString caption = fromMenuText(action(QStringLiteral("mn_%1_%1").arg(number))->text());
    const std::string path = pathFromRecentCaption(caption.toStdString());
    if (!path.empty()) {
        file_path_in = qs(path);
        open_file_function();
    }
    count_open_forms();
}

void MDIForm1::mn_import_Click()
{
    if (open_file_dialog().isEmpty()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const ReadResult read = readWholeFile(localPath(file_path_in));
    if (!read.ok) return;
    std::u16string text;
    LoadedScript::fromBytes(read.bytes, text);
    editor->insertAtCaret(fromU16(text));
    editor->setModified(true);
    editor->Text1->setFocus();
}

bool MDIForm1::writeEditor(frmEditor* editor, const QString& path)
{
    const EncodedScript encoded = editor->encodeForSave();
    if (encoded.switchedToUtf8) {
        // The file's bytes cannot be kept: only with the user's consent.
        const auto answer = services_.messages->show(
            QStringLiteral("The text holds characters that the file's code page cannot store:\r\n\r\n") + shownPath(path) +
                QStringLiteral("\r\n\r\nSave it as UTF-8?"),
            platform::MessageButtons::OkCancel, platform::MessageIcon::Question, QStringLiteral("Mapquill"));
        if (answer != platform::MessageAnswer::Ok) return false;
    }
    const WriteResult written = writeFileSafely(localPath(path), encoded.bytes);
    if (!written) {
        QString text = QStringLiteral("The file ") + shownPath(path) + QStringLiteral(" could not be saved: ") +
                       qs(written.reason) + QLatin1Char('.');
        if (written.hadOldFile && written.oldFileUnchanged)
            text += QStringLiteral("\r\n\r\nThe old file is unchanged.");
        else if (!written.backupPath.empty())
            text += QStringLiteral("\r\n\r\nIts old contents are kept in ") + shownPath(QFile::decodeName(written.backupPath.c_str())) +
                    QLatin1Char('.');
        services_.messages->show(text, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                                 QStringLiteral("File not saved"));
        return false;
    }
    editor->markSaved(encoded);
    return true;
}

bool MDIForm1::saveEditor(frmEditor* editor)
{
    if (open_forms < 1 || !editor) return false;
    if (editor->isUnconfirmed()) return saveEditorAs(editor);
    file_path_out = editor->documentPath();
    if (!writeEditor(editor, file_path_out)) return false;
    editor->setDocument(file_path_out, false);
    return true;
}

bool MDIForm1::saveEditorAs(frmEditor* editor)
{
    auto& dialog = *services_.dialog;
    auto& s = dialog.state();
    s.cancelError = true;
    s.overwritePrompt = true;
    s.filter = qs(kSaveFilter);
    s.dialogTitle = QStringLiteral("Save File as ...");
    if (!editor) return false;
    file_path_out = editor->documentPath();
    const SaveFilterChoice choice = saveFilterFor(file_path_out.toStdString());
    s.filterIndex = choice.filterIndex;
    if (choice.defaultExt) s.defaultExt = qs(*choice.defaultExt);
    s.fileName = file_path_out;
    if (!dialog.showSave()) return false;
    file_path_out = s.fileName;
    file_path_in = file_path_out;
    if (!writeEditor(editor, file_path_out)) return false;
    action(QStringLiteral("mn_save"))->setEnabled(true);
    editor->setDocument(file_path_out, false);
    write_reg();
    return true;
}

void MDIForm1::mn_save_Click() { saveEditor(activeEditor()); }
void MDIForm1::mn_save_as_Click() { saveEditorAs(activeEditor()); }

void MDIForm1::mn_print_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    if (!dialog.showPrinter()) return;
    if (frmEditor* editor = activeEditor()) dialog.printText(editor->plainText());
}

}  // namespace mq::app
