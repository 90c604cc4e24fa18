#include "app/map_dock.h"

#include "app/core/gmt_location.h"
#include "app/gmt_setting.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mq::app {

namespace {

// Draws the picture scaled to its own size; only the part in view is painted.
class Canvas : public QWidget {
public:
    Canvas(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (image_.isNull()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), image_);
    }

private:
    const QImage& image_;
};

QToolButton* zoomButton(const QString& caption, const QString& tip, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(tip);
    button->setObjectName(name);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

MapDock::MapDock(platform::Services services, QWidget* parent, std::function<QString()> gmtProgram)
    : QDockWidget(QStringLiteral("Map"), parent), services_(services), gmtProgram_(std::move(gmtProgram))
{
    setObjectName(QStringLiteral("MapDock"));
    if (!gmtProgram_) {
        gmtProgram_ = [settings = services_.settings] { return gmtProgramOfSettings(settings); };
    }

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    list_ = new QComboBox(body);
    list_->setObjectName(QStringLiteral("pictureList"));
    list_->setToolTip(QStringLiteral("The pictures the last run wrote, newest first"));
    list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list_->setMinimumContentsLength(12);
    list_->setEnabled(false);
    bar->addWidget(list_, 1);
    fitButton_ =
        zoomButton(QStringLiteral("Fit"), QStringLiteral("Zoom to fit"), QStringLiteral("zoomFit"), body);
    actualButton_ = zoomButton(QStringLiteral("100 %"), QStringLiteral("Actual size (100 %)"),
                               QStringLiteral("zoomActual"), body);
    outButton_ =
        zoomButton(QStringLiteral("\u2212"), QStringLiteral("Zoom out"), QStringLiteral("zoomOut"), body);
    inButton_ = zoomButton(QStringLiteral("+"), QStringLiteral("Zoom in"), QStringLiteral("zoomIn"), body);
    fitButton_->setCheckable(true);
    for (QToolButton* button : {fitButton_, actualButton_, outButton_, inButton_}) bar->addWidget(button);
    column->addLayout(bar);

    scroll_ = new QScrollArea(body);
    scroll_->setObjectName(QStringLiteral("pictureArea"));
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    canvas_ = new Canvas(image_, scroll_);
    canvas_->setObjectName(QStringLiteral("picture"));
    scroll_->setWidget(canvas_);
    scroll_->viewport()->installEventFilter(this);
    column->addWidget(scroll_, 1);

    status_ = new QLabel(body);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(status_);
    setWidget(body);

    connect(list_, &QComboBox::activated, this, &MapDock::showEntry);
    connect(fitButton_, &QToolButton::clicked, this, [this] { setZoom(0); });
    connect(actualButton_, &QToolButton::clicked, this, [this] { setZoom(1); });
    connect(inButton_, &QToolButton::clicked, this, [this] { setZoom(zoom() * kZoomStep); });
    connect(outButton_, &QToolButton::clicked, this, [this] { setZoom(zoom() / kZoomStep); });
    clearPicture(QStringLiteral("The newest picture of a run is shown here."));
}

double MapDock::zoom() const
{
    return fit_ ? fitFactor() : zoom_;
}

QString MapDock::status() const
{
    return status_->text();
}

void MapDock::runStarted(const QString& scriptFolder)
{
    snapshot_ = snapshot_folder(scriptFolder.toStdString());
}

void MapDock::runFinished(const QString& scriptText)
{
    ++run_;
    ++request_;
    converted_.clear();
    if (temp_.isValid()) {  // the last run's PNGs
        QDir folder(temp_.path());
        for (const QString& name : folder.entryList(QDir::Files)) folder.remove(name);
    }
    list_->clear();
    for (const RunPicture& picture : run_pictures(snapshot_, scriptText.toStdString()))
        list_->addItem(QString::fromStdString(picture.name), QString::fromStdString(picture.path));
    list_->setEnabled(list_->count() > 0);
    if (list_->count() == 0) return clearPicture(QStringLiteral("The run wrote no picture."));
    list_->setCurrentIndex(0);
    showEntry(0);
}

void MapDock::showEntry(int index)
{
    ++request_;
    const QString name = list_->itemText(index);
    const QString path = list_->itemData(index).toString();
    if (!needs_conversion(name.toStdString())) return load(path, name);
    if (const auto png = converted_.constFind(path); png != converted_.constEnd()) return load(*png, name);
    convert(path, name);
}

void MapDock::convert(const QString& source, const QString& name)
{
    const QString gmt = gmtProgram_();
    if (gmt.isEmpty()) return clearPicture(QString::fromStdString(gmt_missing_text()));
    if (!temp_.isValid())
        return clearPicture(
            QStringLiteral("No temporary folder for the picture: %1").arg(temp_.errorString()));
    const QString base = QStringLiteral("picture%1").arg(++made_);
    const QString png = QDir(temp_.path()).filePath(base + QStringLiteral(".png"));
    const QStringList arguments{
        QStringLiteral("psconvert"), QDir::toNativeSeparators(source),
        QStringLiteral("-A"),        QStringLiteral("-E150"),
        QStringLiteral("-Tg"),       QStringLiteral("-D") + QDir::toNativeSeparators(temp_.path()),
        QStringLiteral("-F") + base};
    setStatus(QStringLiteral("Making the picture of %1 ...").arg(name));
    const int run = run_, request = request_;
    QPointer<MapDock> self(this);
    // Runs in the dock's temporary folder, so that nothing psconvert or GMT
    // leaves behind lands beside the user's files.
    const bool started = services_.programs->start(
        gmt, arguments, temp_.path(), true,
        [self, run, request, source, name, png](const platform::ProgramEnd& end) {
            if (!self || self->run_ != run) return;  // the dock is gone, or a newer run replaced it
            const bool made = end.exitCode == 0 && QFileInfo::exists(png);
            if (made) self->converted_.insert(source, png);
            if (self->request_ != request) return;  // another picture was picked meanwhile
            if (made) return self->load(png, name);
            QString why = end.lastError.trimmed();
            if (why.isEmpty())
                why = end.exitCode == 0 ? QStringLiteral("it wrote no picture")
                                        : QStringLiteral("exit code %1").arg(end.exitCode);
            self->clearPicture(QStringLiteral("gmt psconvert could not convert %1: %2").arg(name, why));
        });
    if (!started)
        clearPicture(QStringLiteral("gmt could not be started: %1").arg(QDir::toNativeSeparators(gmt)));
}

void MapDock::load(const QString& file, const QString& name)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return clearPicture(QStringLiteral("Cannot read %1: %2").arg(name, reader.errorString()));
    image_ = std::move(image);
    setStatus(QStringLiteral("%1 (%2 \u00d7 %3)").arg(name).arg(image_.width()).arg(image_.height()));
    layOut();
}

void MapDock::clearPicture(const QString& why)
{
    image_ = QImage();
    setStatus(why);
    layOut();
}

void MapDock::setStatus(const QString& text)
{
    status_->setText(text);
}

void MapDock::setZoom(double factor)
{
    fit_ = factor == 0;
    if (!fit_) zoom_ = std::clamp(factor, kMinZoom, kMaxZoom);
    layOut();
}

double MapDock::fitFactor() const
{
    if (image_.isNull()) return 1.0;
    const QSize room = scroll_->maximumViewportSize() - QSize(8, 8);
    const double factor =
        std::min(double(room.width()) / image_.width(), double(room.height()) / image_.height());
    return std::clamp(factor, kMinZoom, kMaxZoom);
}

void MapDock::layOut()
{
    const bool shown = !image_.isNull();
    for (QToolButton* button : {fitButton_, actualButton_, inButton_, outButton_}) button->setEnabled(shown);
    fitButton_->setChecked(fit_);
    const double factor = zoom();
    inButton_->setEnabled(shown && factor < kMaxZoom);
    outButton_->setEnabled(shown && factor > kMinZoom);
    canvas_->resize(shown ? (QSizeF(image_.size()) * factor).toSize().expandedTo(QSize(1, 1)) : QSize(0, 0));
    canvas_->update();
}

bool MapDock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize && fit_) layOut();
    return QDockWidget::eventFilter(watched, event);
}

}  // namespace mq::app
