// The "Map" dock: after each run of a script, the newest picture the run
// wrote in the script's folder. PostScript, EPS and PDF are turned into a
// PNG by "gmt psconvert" in the dock's own temporary folder, never beside
// the user's files; PNG and JPEG are shown as they are. A list picks another
// of the run's pictures; the picture stays until the next run ends.
#pragma once

#include "app/core/run_pictures.h"
#include "platform/platform.h"

#include <QDockWidget>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>
#include <functional>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolButton;

namespace mq::app {

class MapDock : public QDockWidget {
    Q_OBJECT
public:
    // `gmtProgram` gives the gmt program to run, empty when there is none;
    // without it the "GMT folder" setting, PATH and the installer's folder
    // are searched at each conversion.
    explicit MapDock(platform::Services services, QWidget* parent = nullptr,
                     std::function<QString()> gmtProgram = {});

    // Notes what the script's folder holds now; the picture stays shown.
    void runStarted(const QString& scriptFolder);
    // Lists the pictures the run wrote and shows the first of them.
    void runFinished(const QString& scriptText);

    // What is shown: the picture (null when none), its scale (1 is 100 %),
    // whether it follows the dock's size, and the one-line status.
    const QImage& picture() const { return image_; }
    double zoom() const;
    bool fitsWindow() const { return fit_; }
    QString status() const;

    static constexpr double kZoomStep = 1.25;
    static constexpr double kMinZoom = 1.0 / 16;
    static constexpr double kMaxZoom = 8.0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEntry(int index);
    void convert(const QString& source, const QString& name);
    void load(const QString& file, const QString& name);
    void clearPicture(const QString& why);
    void setStatus(const QString& text);
    void setZoom(double factor);  // 0: fit the window
    double fitFactor() const;
    void layOut();

    platform::Services services_;
    std::function<QString()> gmtProgram_;
    QTemporaryDir temp_;
    FolderSnapshot snapshot_;
    QHash<QString, QString> converted_;  // this run's sources and their PNGs
    int run_ = 0;                        // runs finished
    int request_ = 0;                    // pictures asked for; a late conversion shows nothing
    int made_ = 0;                       // PNGs made, for their names

    QImage image_;
    bool fit_ = true;
    double zoom_ = 1.0;

    QComboBox* list_ = nullptr;
    QToolButton* fitButton_ = nullptr;
    QToolButton* actualButton_ = nullptr;
    QToolButton* inButton_ = nullptr;
    QToolButton* outButton_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace mq::app
