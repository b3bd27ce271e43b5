// Times a transparent image list box over a skin, as the main window's playlist: filling it
// with 100,000 rows (row by row, as the playlist is rebuilt, and all at once) up to the first
// painted picture, then one scroll step with its repaint, one jump with its repaint, and one
// grab of the whole window. Prints the median and the slowest run of each in ms.
//   bench-listbox [RUNS]
#include <QApplication>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "imagelistbox.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Rows = 100000;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The window's background picture, painted as the skin panel paints its bitmap.
class Skin : public QWidget {
public:
    Skin() : m_picture(252, 412, QImage::Format_RGB32)
    {
        resize(m_picture.size());
        QPainter painter(&m_picture);
        for (int y = 0; y < m_picture.height(); ++y)
            painter.fillRect(0, y, m_picture.width(), 1, QColor(20, 30 + y % 90, 80 + y % 50));
        painter.setPen(QColor(90, 110, 160));
        for (int x = 0; x < m_picture.width(); x += 12)
            painter.drawLine(x, 0, x, m_picture.height());
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter(this).drawImage(event->rect(), m_picture, event->rect());
    }

private:
    QImage m_picture;
};

void report(const char *name, const std::vector<double> &runs)
{
    std::printf("  %-40s %9.3f %9.3f ms\n", name, median(runs),
                *std::max_element(runs.begin(), runs.end()));
}

std::vector<double> timeRuns(int runs, const std::function<void()> &prepare,
                             const std::function<void()> &timed)
{
    std::vector<double> result;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const auto start = Clock::now();
        timed();
        result.push_back(msSince(start));
    }
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));

    Skin skin;
    auto *list = new TLMDImageListBox(&skin);
    list->setGeometry(10, 162, 231, 217);
    list->setBorderStyle(TLMDImageListBox::bsNone);
    list->setTransparent(true);
    list->setItemHeight(16);
    list->setFontColor(Qt::green);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    list->setFont(font);
    skin.show();
    QCoreApplication::processEvents();

    QStringList rows;
    for (int i = 0; i < Rows; ++i)
        rows << QStringLiteral("%1.- Song title number %1").arg(i + 1);
    // The first paint includes laying out the rows.
    auto paintNow = [&] { list->viewport()->repaint(); };

    std::printf("Transparent image list box, 231 x 217, %d rows, %d runs\n", Rows, runs);
    std::printf("  %-40s %9s %9s\n", "", "median", "max");
    report("fill row by row + first paint", timeRuns(
                                                runs, [&] { list->clear(); },
                                                [&] {
                                                    for (const QString &row : rows)
                                                        list->addItem(row);
                                                    paintNow();
                                                }));
    report("fill at once + first paint", timeRuns(
                                             runs, [&] { list->clear(); },
                                             [&] {
                                                 list->setItems(rows);
                                                 paintNow();
                                             }));

    QScrollBar *bar = list->verticalScrollBar();
    list->setItemIndex(Rows / 2);
    paintNow();
    const int steps = std::max(200, runs);
    report("scroll one row + repaint",
           timeRuns(
               steps,
               [&] {
                   if (bar->value() >= bar->maximum())
                       bar->setValue(Rows / 2);
               },
               [&] {
                   bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                   paintNow();
               }));
    int jump = 0;
    report("jump to another place + repaint", timeRuns(
                                                  steps, [&] { jump = (jump + 7919) % Rows; },
                                                  [&] {
                                                      bar->setValue(jump);
                                                      paintNow();
                                                  }));
    report("grab of the whole window", timeRuns(
                                           steps, [] {}, [&] { (void)skin.grab(); }));
    return 0;
}
