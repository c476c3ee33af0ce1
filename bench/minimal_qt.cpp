// The least a Qt Widgets program can do to show what the monitor shows: a
// window of the same size and fonts with 12 labels (four captions, four
// rates, four values) and a 380 x 117 graph pixmap, eight labels rewritten
// and the graph redrawn at 10 Hz from made-up numbers. No interface table
// is read. bench/measure-process runs it beside the program as the floor
// for CPU and memory.
//
//   bench_minimal_qt [seconds]     runs until killed, or for that long

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

namespace {

constexpr int kGraphWidth = 380;
constexpr int kGraphHeight = 117;
constexpr int kHistory = 100;

// The monitor's fonts: a CJK face for the captions, a Latin one for the
// values; sizes in pixels, as the monitor sets them.
QFont CjkFont() {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback")});
  font.setPixelSize(12);
  return font;
}

QFont LatinFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(11);
  return font;
}

class Graph : public QWidget {
 public:
  explicit Graph(QWidget* parent) : QWidget(parent), m_pixmap(kGraphWidth, kGraphHeight) {
    setFixedSize(kGraphWidth, kGraphHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  void Redraw(const std::deque<double>& history) {
    m_pixmap.fill(Qt::black);
    QPainter p(&m_pixmap);
    p.setPen(QColor(0, 128, 128));
    for (int x = 0; x < kGraphWidth; x += 12) p.drawLine(x, 0, x, kGraphHeight - 1);
    for (int y = 0; y < kGraphHeight; y += 12) p.drawLine(0, y, kGraphWidth - 1, y);
    double top = 1;
    for (double v : history) top = std::max(top, v);
    std::vector<QPointF> points;
    points.reserve(history.size());
    const double dx = static_cast<double>(kGraphWidth - 1) / (kHistory - 1);
    int i = 0;
    for (double v : history) {
      points.emplace_back(i++ * dx, (kGraphHeight - 1) * (1 - v / top));
    }
    p.setPen(QColor(0, 255, 0));
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
    p.end();
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, m_pixmap);
  }

 private:
  QPixmap m_pixmap;
};

class Window : public QWidget {
 public:
  Window() {
    setWindowTitle(QStringLiteral("minimal"));
    resize(382, 439);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(CjkFont());

    m_graph = new Graph(this);
    m_graph->move(0, 72);

    const std::array<const char*, 4> captions = {
        " 接收字节:", "发送字节:", " 下载速率:", " 上载速率:"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
      auto* label = new QLabel(QString::fromUtf8(captions[i]), this);
      label->setGeometry(4, 340 + 24 * static_cast<int>(i), 96, 20);
    }
    const std::array<const char*, 4> rates = {
        "下载速率: ", "上载速率: ", "平均下载速率: ", "平均上载速率: "};
    for (std::size_t i = 0; i < rates.size(); ++i) {
      m_ratePrefix[i] = QString::fromUtf8(rates[i]);
      m_rates[i] = new QLabel(m_ratePrefix[i], this);
      m_rates[i]->setGeometry(4, 196 + 16 * static_cast<int>(i), 240, 14);
    }
    for (std::size_t i = 0; i < m_values.size(); ++i) {
      m_values[i] = new QLabel(this);
      m_values[i]->setFont(LatinFont());
      m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignTop);
      m_values[i]->setFrameStyle(QFrame::Box | QFrame::Plain);
      m_values[i]->setAutoFillBackground(true);
      QPalette white = m_values[i]->palette();
      white.setColor(QPalette::Window, Qt::white);
      m_values[i]->setPalette(white);
      m_values[i]->setGeometry(101, 340 + 24 * static_cast<int>(i), 110, 23);
    }
    m_history.assign(kHistory, 0);

    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    m_timer.start();
  }

 private:
  void Tick() {
    // Made-up totals that move unevenly, as a link's do.
    m_step = m_step * 1103515245u + 12345u;
    const std::uint32_t delta = (m_step >> 16) % 40000u;
    m_received += delta;
    m_sent += delta / 9;
    m_average = (delta + m_average) / 2;
    m_top = std::max(m_top, static_cast<double>(delta));
    const std::array<double, 4> rates = {m_top, m_top / 9, m_average, m_average / 9};
    for (std::size_t i = 0; i < rates.size(); ++i) {
      m_rates[i]->setText(m_ratePrefix[i] + QString::number(rates[i] / 1024, 'f', 2) +
                          QStringLiteral(" Kb/S"));
    }
    m_values[0]->setText(QString::number(m_received / 1024) + QStringLiteral(" KB"));
    m_values[1]->setText(QString::number(m_sent / 1024) + QStringLiteral(" KB"));
    m_values[2]->setText(QString::number(delta / 1024.0, 'f', 2) + QStringLiteral(" KBS "));
    m_values[3]->setText(QString::number(delta / 9) + QStringLiteral(" BS "));
    m_history.pop_front();
    m_history.push_back(m_average / 1024 + 5);
    m_graph->Redraw(m_history);
  }

  Graph* m_graph = nullptr;
  std::array<QString, 4> m_ratePrefix;
  std::array<QLabel*, 4> m_rates{};
  std::array<QLabel*, 4> m_values{};
  std::deque<double> m_history;
  QTimer m_timer;
  std::uint32_t m_step = 1;
  std::uint32_t m_received = 0;
  std::uint32_t m_sent = 0;
  double m_average = 0;
  double m_top = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Window window;
  window.show();
  if (argc > 1) {
    const int seconds = std::atoi(argv[1]);
    if (seconds > 0) QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  }
  return QApplication::exec();
}
