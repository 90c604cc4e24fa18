// The About window and the tool windows the menus and the toolbar show.
#include "app/mdiform1.h"

#include "app/frame_helpers.h"
#include "app/frmeditor.h"
#include "app/frmstart.h"
#include "app/tool_windows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace mq::app {

using namespace frame;

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

QWidget* MDIForm1::openWindow(const QString& windowName) const
{
    return windows_.value(windowName).data();
}

tools::ToolContext MDIForm1::toolContext()
{
    tools::ToolContext context;
    context.services = services_;
    context.openFileDialog = [this] { return open_file_dialog(); };
    context.filePicture = imageList_.value(1);
    context.owner = this;
    return context;
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
    if (open_forms() >= 1)
        for (QMdiSubWindow* sub : mdiArea_->subWindowList())
            if (qobject_cast<frmEditor*>(sub->widget())) sub->showMinimized();
    showAboutWindow();
}

}  // namespace mq::app
