// The colour mixer and the GMT font reference driven like a user would, and
// the mixer's drags dropped into an editor.
#include "app/app_fixture.h"
#include "catalogue/ui/form_color.h"
#include "catalogue/ui/frm_gmt_def.h"
#include "platform/window_driver.h"
#include "step_script.h"
#include "window_state.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using mq::catalogue::ui::ColourSwatch;
using mq::catalogue::ui::GradientBar;
using mq::testing::AppFixture;
using mq::testing::child;
using mq::testing::set_text;
using mq::testing::Step;
using mq::testing::text_of;
using mq::testing::ScriptedDialog;
using mq::testing::ScriptedPlatform;

namespace {

mq::tools::ToolContext contextFor(ScriptedPlatform& platform)
{
    mq::tools::ToolContext context;
    context.services = platform.services();
    return context;
}

// A mixer window of its own, shown.
struct Mixer {
    ScriptedPlatform platform;
    Form_color form{contextFor(platform)};
    Mixer() { form.show(); }
};

void mix(Form_color& form, int red, int green, int blue)
{
    child<QScrollBar>(form, "HScroll1")->setValue(red);
    child<QScrollBar>(form, "HScroll2")->setValue(green);
    child<QScrollBar>(form, "HScroll3")->setValue(blue);
}

// The strokes overlap, so the left edge shows the second or third stroke.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}

QImage barImage(Form_color& form) { return child<GradientBar>(form, "pic_bar")->grab().toImage(); }

// Drops mime data onto an editor's text box at the place of character `at`.
void dropInto(mq::app::frmEditor* editor, QMimeData* data, int at)
{
    QTextCursor cursor(editor->Text1->document());
    cursor.setPosition(at);
    const QPoint place = editor->Text1->cursorRect(cursor).center();
    mq::testing::dropOnto(editor->Text1->viewport(), data, place);
    delete data;
}

QString rgb(const mq::catalogue::Rgb& c) { return QString("%1/%2/%3").arg(c.red).arg(c.green).arg(c.blue); }

// A place on a control: N pixels, N/D of its width, or -N from its right edge.
int across(QWidget* w, const QString& at)
{
    if (at.contains('/')) return w->width() * at.section('/', 0, 0).toInt() / at.section('/', 1).toInt();
    return at.toInt() < 0 ? w->width() + at.toInt() : at.toInt();
}

Form_color* openMixer(AppFixture& app)
{
    app.main->showWindow(QStringLiteral("Form_color"));
    return qobject_cast<Form_color*>(app.main->openWindow(QStringLiteral("Form_color")));
}

}  // namespace

class TestCatalogueWindows : public QObject {
    Q_OBJECT

private slots:
    // Captions, texts, tips, ranges and fonts as each window starts.
    void windows_start_as_described()
    {
        Mixer m;
        mq::testing::compare_with_golden(m.form, MQ_TEST_DATA_DIR "/data/Form_color.txt", false);
        QVERIFY(m.form.ColorDragText.isEmpty());
        ScriptedPlatform platform;
        frm_gmt_def fonts(contextFor(platform));
        mq::testing::compare_with_golden(fonts, MQ_TEST_DATA_DIR "/data/frm_gmt_def.txt", false);
    }

    // The cases of data/window_steps.txt (its head describes the steps).
    void steps()
    {
        std::unique_ptr<ScriptedPlatform> platform;
        std::unique_ptr<QWidget> window;
        const auto start = [&] {
            window.reset();
            platform = std::make_unique<ScriptedPlatform>();
        };
        const auto act = [&](const Step& step) {
            const QString& verb = step.verb;
            const QString name = step.word(0), rest = step.text(1);
            QWidget* control = window ? window->findChild<QWidget*>(name) : nullptr;
            const QPoint place(verb == "hover" || verb == "press" ? across(control, rest) : 0, 10);
            auto* mixer = qobject_cast<Form_color*>(window.get());
            if (verb == "window" && name == "Form_color")
                window = std::make_unique<Form_color>(contextFor(*platform));
            else if (verb == "window") window = std::make_unique<frm_gmt_def>(contextFor(*platform));
            else if (verb == "mix") mix(*mixer, name.toInt(), step.word(1).toInt(), step.word(2).toInt());
            else if (verb == "set") set_text(*window, name, rest);
            else if (verb == "click") QTest::mouseClick(control, Qt::LeftButton);
            else if (verb == "dclick") QTest::mouseDClick(control, Qt::LeftButton);
            else if (verb == "hover") QTest::mouseMove(control, place);
            else if (verb == "press") QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, place);
            else if (verb == "type") control->setFocus(), QTest::keyClicks(control, rest);
            else if (verb == "key") QTest::keyClick(control, QKeySequence(rest)[0].key());
            else if (verb == "make") mixer->Command1_Click();
            else QFAIL(qPrintable("no such step " + verb));
            if (verb == "window") window->show();
        };
        const auto show = [&](const QString& item) -> QString {
            auto* bar = window->findChild<GradientBar*>("pic_bar");
            if (item.contains('@')) {   // NAME@X,Y: the colour of that pixel
                auto* w = window->findChild<QWidget*>(item.section('@', 0, 0));
                const int x = across(w, item.section('@', 1).section(',', 0, 0));
                const QColor c = w->grab().toImage().pixelColor(x, item.section(',', 1).toInt());
                return rgb({c.red(), c.green(), c.blue()});
            }
            if (item.startsWith("colour:")) return rgb(*child<ColourSwatch>(*window, item.mid(7))->colour());
            if (item == "first") return rgb(bar->gradient().strokes.front().colour);
            if (item == "width") return QString::number(bar->gradient().width);
            if (item == "stops") {
                QStringList stops;
                for (int i = 0; i < 10; ++i) stops << text_of(*window, QString("tx_col_%1").arg(i));
                return stops.join(',');
            }
            if (item == "dialogs") return QString::number(platform->dialog.shown.size());
            if (item == "messages") return QString::number(platform->messages.shown.size());
            if (item == "message") return platform->messages.shown.back().text;
            if (auto* t = window->findChild<QPlainTextEdit*>(item)) return t->toPlainText();
            return text_of(*window, item);
        };
        mq::testing::run_steps(MQ_TEST_DATA_DIR "/data/window_steps.txt", start, act, show);
    }

    void initial_bar_white_to_black()
    {
        Mixer m;
        auto* bar = child<GradientBar>(m.form, "pic_bar");
        QCOMPARE(bar->penPixels(), 5);
        const QImage image = barImage(m.form);
        const int y = image.height() / 2, middle = image.width() / 2;
        QVERIFY(near(image.pixelColor(0, y), Qt::white));
        QCOMPARE(image.pixelColor(image.width() - 1, y), QColor(Qt::black));
        QVERIFY(qAbs(image.pixelColor(middle, y).red() - 128) <= 3);
        QCOMPARE(image.pixelColor(middle, 0), image.pixelColor(middle, image.height() - 1));
    }

    // A maximum colour with less red than the minimum colour: red falls along
    // the bar while blue rises.
    void falling_component()
    {
        Mixer m;
        mix(m.form, 255, 0, 0);
        QTest::mouseDClick(child<ColourSwatch>(m.form, "pic_min"), Qt::LeftButton);
        mix(m.form, 0, 0, 255);
        QTest::mouseDClick(child<ColourSwatch>(m.form, "pic_max"), Qt::LeftButton);
        QCOMPARE(text_of(m.form, "lb_min") + " " + text_of(m.form, "lb_max"),
                 QStringLiteral("255/0/0 0/0/255"));
        const QImage image = barImage(m.form);
        int red = 256;
        for (int x = 0; x < image.width(); x += 10) {
            const QColor c = image.pixelColor(x, 5);
            QVERIFY2(c.red() <= red && c.green() == 0, qPrintable(QString::number(x)));
            red = c.red();
        }
        QVERIFY(near(image.pixelColor(0, 5), QColor(255, 0, 0)));
        QCOMPARE(image.pixelColor(image.width() - 1, 5), QColor(0, 0, 255));
    }

    // Both drags carry the red/green/blue text; the editor takes it in at the
    // drop point.
    void drops_into_the_editor_data()
    {
        QTest::addColumn<bool>("fromSwatch");
        QTest::newRow("colour text") << false;
        QTest::newRow("swatch") << true;
    }
    void drops_into_the_editor()
    {
        QFETCH(bool, fromSwatch);
        AppFixture app;
        mq::app::frmEditor* editor = app.newEditor();
        editor->insertAtCaret(QStringLiteral("-G -W"));
        Form_color* form = openMixer(app);
        mix(*form, 255, 128, 0);
        dropInto(editor, fromSwatch ? form->Picture1_dragData() : form->Text1_dragData(), 2);
        QCOMPARE(editor->text(), QStringLiteral("-G255/128/0 -W"));
        QCOMPARE(form->ColorDragText, fromSwatch ? QStringLiteral("33023") : QStringLiteral("255/128/0"));
    }

    void make_cpt_saves_and_offers_the_table()
    {
        AppFixture app;
        mq::app::frmEditor* editor = app.newEditor();
        Form_color* form = openMixer(app);
        mix(*form, 255, 0, 0);
        QTest::mouseDClick(child<ColourSwatch>(*form, "pic_col_2"), Qt::LeftButton);
        set_text(*form, "tx_col_2", QStringLiteral("40"));
        const QString path = app.path(QStringLiteral("mixer.cpt"));
        app.platform.dialog.answers << ScriptedDialog::accept(path);
        app.platform.messages.answers << mq::platform::MessageAnswer::Yes;
        form->Command1_Click();
        const QByteArray table = AppFixture::readFile(MQ_TEST_DATA_DIR "/expected/make_cpt.cpt");
        QCOMPARE(AppFixture::readFile(path), table);
        const auto& shown = app.platform.dialog.shown.back();
        QCOMPARE(shown.kind, ScriptedDialog::Kind::Save);
        QCOMPARE(shown.state.defaultExt, QStringLiteral("cpt"));
        QVERIFY(shown.state.filter.startsWith(QStringLiteral("Color Tables (*.cpt)|*.cpt|")));
        QCOMPARE(app.platform.messages.shown.back().text,
                 QStringLiteral("Insert the colour table into the active editor?"));
        QCOMPARE(editor->text().toUtf8(), table);
    }

    void font_picks()
    {
        ScriptedPlatform platform;
        frm_gmt_def form(contextFor(platform));
        form.show();
        auto* list = child<QListWidget>(form, "List1");
        auto* sample = child<QLabel>(form, "lb_font");
        // list row, screen font, 1 bold + 2 italic
        const std::tuple<int, const char*, int> picks[] = {
            {15, "AvantGarde Bk BT", 0}, {17, "Book Antiqua", 0}, {33, "Webdings", 0}, {34, "Wingdings", 0},
            {37, "BankGothic Md BT", 0}, {0, "Arial", 0},         {3, "Arial", 3}};
        for (const auto& [pick, family, style] : picks) {
            const QListWidgetItem* item = list->item(pick);
            list->scrollToItem(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(item).center());
            const QFont font = sample->font();
            QCOMPARE(font.family(), QLatin1String(family));
            QCOMPARE(int(font.bold()) + 2 * int(font.italic()), style);
            // A missing screen font falls back to the installed clone of the GMT font.
            const QString standIn = font.families().value(1);
            const QStringList installed = QFontDatabase::families();
            if (!installed.contains(font.family()) && installed.contains(standIn))
                QCOMPARE(QFontInfo(font).family(), standIn);
            QCOMPARE(sample->text(), QStringLiteral("Font Example"));
        }
    }
};

QTEST_MAIN(TestCatalogueWindows)
#include "test_catalogue_windows.moc"
