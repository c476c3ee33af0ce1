#include <QColor>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <cmath>
#include <vector>

#include "monitor/frm_bandwidth.h"

// The art is compiled into this static library; its registration must be
// pulled in by hand, and Q_INIT_RESOURCE must stand outside any namespace.
static void InitOrvendelArt() { Q_INIT_RESOURCE(orvendel); }

namespace orv {
namespace {

// The layout is measured in twips; at 96 dpi there are 15 to a pixel.
int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

// Point sizes become pixel sizes at 96 dpi, so the layout does not depend
// on the screen's reported resolution.
int PointsToPixels(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// The art is PNG. Left to detect the format, the image reader loads every
// image plugin to ask it; told the format, it uses its built-in reader.
QImage LoadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

const QColor kFace(240, 240, 240);
const QColor kRed(255, 0, 0);
const QColor kDarkGrey(64, 64, 64);

// The window's CJK user-interface font, nearest first.
QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback")});
  font.setPixelSize(PointsToPixels(9));
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}

QFont LatinFont(bool bold) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(PointsToPixels(8.25));
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

void SetBackground(QWidget* widget, const QColor& color) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, color);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

// Places a control by its twips rectangle inside its container's inner
// area: for a picture box that area starts inside its border.
void Place(QWidget* control, int left, int top, int width, int height) {
  QRect r = TwipsRect(left, top, width, height);
  if (auto* box = qobject_cast<QLabel*>(control->parentWidget()); box != nullptr) {
    r.translate(box->contentsRect().topLeft());
  }
  control->setGeometry(r);
}

// Earlier controls of a container lie above later ones; labels, which
// have no window of their own, lie beneath every control that has one.
void Stack(const std::vector<QWidget*>& listed) {
  std::vector<QWidget*> bottomToTop;
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
    if (dynamic_cast<Label*>(*it) != nullptr) bottomToTop.push_back(*it);
  }
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
    if (dynamic_cast<Label*>(*it) == nullptr) bottomToTop.push_back(*it);
  }
  for (QWidget* w : bottomToTop) w->raise();
}

}  // namespace

frmBandwidth::frmBandwidth(MonitorServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)) {
  BuildLayout();
  if (m_services.startTimers) {
    tmrUpdate->Enabled(true);
    Timer1->Enabled(true);
  }
}

frmBandwidth::~frmBandwidth() {
  // The handlers use the window's state; no tick may start while the
  // children are being torn down.
  if (tmrUpdate != nullptr) tmrUpdate->Enabled(false);
  if (Timer1 != nullptr) Timer1->Enabled(false);
}

void frmBandwidth::BuildLayout() {
  InitOrvendelArt();

  setObjectName(QStringLiteral("frmBandwidth"));
  setWindowTitle(QStringLiteral("Orvendel"));
  // A standard resizable frame without the maximise box: the controls never
  // follow the window's size, so maximising would only show empty face.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QPixmap::fromImage(LoadPng(QStringLiteral(":/orvendel/icon.png")))));
  SetBackground(this, kFace);
  setFont(WindowFont());
  resize(Px(5730), Px(6585));

  // Banner box. It is wider than the client area; the window cuts it off.
  Picture1 = new QLabel(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Picture1->setLineWidth(2);
  Picture1->setMargin(0);
  Picture1->setIndent(0);
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Picture1->setPixmap(QPixmap::fromImage(LoadPng(QStringLiteral(":/orvendel/banner.png"))));
  Picture1->setFocusPolicy(Qt::TabFocus);
  SetBackground(Picture1, kFace);
  Place(Picture1, 0, 0, 5895, 1215);

  Label7 = new Label(Picture1);
  Label7->setObjectName(QStringLiteral("Label7"));
  {
    QFont bold = WindowFont();
    bold.setWeight(QFont::Bold);
    Label7->setFont(bold);
  }
  Label7->ForeColor(kRed);
  Label7->Opaque(true, kFace);
  Label7->Caption(QStringLiteral("Orvendel 出品"));
  Place(Label7, 3960, 720, 1815, 255);

  Label6 = new Label(Picture1);
  Label6->setObjectName(QStringLiteral("Label6"));
  Label6->ForeColor(kRed);
  Label6->Opaque(true, kFace);
  Label6->Caption(QStringLiteral("实时网络流量"));
  Place(Label6, 3960, 360, 1455, 255);

  // Graph surface; both timers belong to it.
  PIC1 = new PictureBox(this);
  PIC1->setObjectName(QStringLiteral("PIC1"));
  PIC1->setFocusPolicy(Qt::TabFocus);
  Place(PIC1, 0, 1080, 5685, 1750);
  PIC1->BackColor(0xF0F0F0);

  tmrUpdate = new Timer(PIC1, QStringLiteral("tmrUpdate"), 100, [this] { tmrUpdate_Timer(); });
  Timer1 = new Timer(PIC1, QStringLiteral("Timer1"), 2000, [this] { Timer1_Timer(); });

  // Upper frame: the interface choice and the peak and average rates.
  Frame2 = new QFrame(this);
  Frame2->setObjectName(QStringLiteral("Frame2"));
  Frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Frame2->setLineWidth(1);
  SetBackground(Frame2, kFace);
  Place(Frame2, 0, 2760, 5700, 2040);

  cboConnectionType = new DropDownList(Frame2);
  cboConnectionType->setObjectName(QStringLiteral("cboConnectionType"));
  cboConnectionType->setFont(LatinFont(true));
  {
    QPalette p = cboConnectionType->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::WindowText, Qt::black);
    cboConnectionType->setPalette(p);
  }
  Place(cboConnectionType, 60, 1155, 5460, 330);

  lblType = new Label(Frame2);
  lblType->setObjectName(QStringLiteral("lblType"));
  lblType->setFont(LatinFont(false));
  lblType->ForeColor(kDarkGrey);
  // A long interface description wraps onto the box's second line.
  lblType->setWordWrap(true);
  lblType->Caption(QStringLiteral("TokenRing "));
  Place(lblType, 1395, 1560, 4290, 465);

  Label1 = new Label(Frame2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->Caption(QStringLiteral("连接类型 :"));
  Place(Label1, 135, 1560, 1095, 210);

  struct PeakLabel {
    Label** member;
    const char* name;
    const char* caption;
    int left, top, width, height;
  };
  const PeakLabel peaks[] = {
      {&lblDownloadSpeedTop, "lblDownloadSpeedTop", "下载速率:", 45, 150, 810, 180},
      {&lblUploadSpeedTop, "lblUploadSpeedTop", "上载速率:", 75, 405, 810, 180},
      {&lblDownloadSpeedAverage, "lblDownloadSpeedAverage", "平均下载速率:", 60, 645, 1170, 180},
      {&lblUploadSpeedAverage, "lblUploadSpeedAverage", "平均上载速率:", 60, 885, 1170, 180},
  };
  for (const PeakLabel& d : peaks) {
    auto* label = new Label(Frame2);
    label->setObjectName(QString::fromLatin1(d.name));
    label->ForeColor(Qt::black);
    label->Caption(QString::fromUtf8(d.caption));
    Place(label, d.left, d.top, d.width, d.height);
    label->AutoSize(true);
    *d.member = label;
  }

  // Lower frame: the totals and the current rates.
  Frame3 = new QFrame(this);
  Frame3->setObjectName(QStringLiteral("Frame3"));
  Frame3->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Frame3->setLineWidth(1);
  SetBackground(Frame3, kFace);
  Place(Frame3, 0, 4800, 5700, 1770);

  struct ValueBox {
    Label** member;
    const char* name;
    const char* caption;
    int top;
  };
  const ValueBox values[] = {
      {&lblUSpeed, "lblUSpeed", "Label7", 1305},
      {&lblDSpeed, "lblDSpeed", "Label6", 945},
      {&lblSent, "lblSent", "Label1", 585},
      {&lblRecv, "lblRecv", "Label1", 225},
  };
  for (const ValueBox& d : values) {
    auto* label = new Label(Frame3);
    label->setObjectName(QString::fromLatin1(d.name));
    label->setFont(LatinFont(false));
    label->ForeColor(Qt::black);
    label->Opaque(true, Qt::white);
    label->SingleBorder(true);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->Caption(QString::fromLatin1(d.caption));
    Place(label, 1515, d.top, 1650, 345);
    *d.member = label;
  }

  struct Caption {
    Label** member;
    const char* name;
    const char* caption;
    int left, top, width, height;
  };
  const Caption captions[] = {
      {&Label4, "Label4", " 下载速率:", 60, 990, 1440, 345},
      {&Label3, "Label3", "发送字节:", 150, 645, 930, 255},
      {&Label2, "Label2", " 接收字节:", 60, 285, 1335, 270},
      {&Label5, "Label5", " 上载速率:", 60, 1305, 1440, 345},
  };
  for (const Caption& d : captions) {
    auto* label = new Label(Frame3);
    label->setObjectName(QString::fromLatin1(d.name));
    label->ForeColor(Qt::black);
    label->Caption(QString::fromUtf8(d.caption));
    Place(label, d.left, d.top, d.width, d.height);
    *d.member = label;
  }

  Stack({Picture1, PIC1, Frame2, Frame3});
  Stack({Label7, Label6});
  Stack({cboConnectionType, lblType, Label1, lblDownloadSpeedTop, lblUploadSpeedTop,
         lblDownloadSpeedAverage, lblUploadSpeedAverage});
  Stack({lblUSpeed, lblDSpeed, lblSent, lblRecv, Label4, Label3, Label2, Label5});

  // Tab order by tab index. Of these only the list and the two picture
  // boxes take the focus, and the list comes first, so it has it at open.
  const std::vector<QWidget*> tabOrder = {
      Frame3,  Label5,  Label2, Label3, Label4, lblRecv, lblSent, lblDSpeed, lblUSpeed,
      Frame2,  cboConnectionType, lblUploadSpeedAverage, lblDownloadSpeedAverage,
      lblUploadSpeedTop, lblDownloadSpeedTop, Label1, lblType, PIC1, Picture1, Label6, Label7};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) {
    QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  }
  for (QWidget* w : {static_cast<QWidget*>(Frame2), static_cast<QWidget*>(Frame3)}) {
    w->setFocusPolicy(Qt::NoFocus);
  }
  cboConnectionType->setFocus(Qt::OtherFocusReason);
}

}  // namespace orv
