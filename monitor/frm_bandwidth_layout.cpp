#include "monitor/frm_bandwidth_layout.h"

#include <array>

namespace orv {
namespace {

constexpr Color kFace = Rgb(240, 240, 240);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kDarkGrey = Rgb(64, 64, 64);
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

// The window's CJK user-interface font, and the Latin one of the list,
// the interface description and the value boxes.
constexpr FontDescription kWindowFont{u"宋体", 9, false};
constexpr FontDescription kCreditFont{u"宋体", 9, true};
constexpr FontDescription kArial{u"Arial", 8.25, false};
constexpr FontDescription kArialBold{u"Arial", 8.25, true};

constexpr std::string_view kWindow = "frmBandwidth";

// The table reads as one row per control, as the window is laid out; the
// formatter would put every field on a line of its own.
// clang-format off

// A caption label of the lower frame: transparent, black, in the window
// font, naming the value box beside it.
constexpr ControlDescription Caption(std::string_view name, TwipsRect rect, std::int16_t tab,
                                     std::u16string_view text, std::string_view valueBox) {
  return {.name = name, .kind = ControlKind::Label, .container = "Frame3", .rect = rect,
          .tabIndex = tab, .caption = text, .foreColor = kBlack, .labelFor = valueBox};
}

// A peak or average label: it grows to the right as its number is added.
constexpr ControlDescription Rate(std::string_view name, TwipsRect rect, std::int16_t tab,
                                  std::u16string_view text) {
  return {.name = name, .kind = ControlKind::Label, .container = "Frame2", .rect = rect,
          .tabIndex = tab, .caption = text, .foreColor = kBlack, .autoSize = true};
}

// A value box of the lower frame: right-aligned on white in a single line.
constexpr ControlDescription ValueBox(std::string_view name, std::int32_t top, std::int16_t tab,
                                      std::u16string_view text) {
  return {.name = name, .kind = ControlKind::Label, .container = "Frame3",
          .rect = {1515, top, 1650, 345}, .tabIndex = tab, .caption = text,
          .foreColor = kBlack, .backColor = kWhite, .opaque = true, .singleBorder = true,
          .align = TextAlign::Right, .font = kArial};
}

constexpr std::array kControls{
    // The banner is wider than the client area; the window cuts it off.
    ControlDescription{.name = "Picture1", .kind = ControlKind::PictureBox, .container = kWindow,
                       .rect = {0, 0, 5895, 1215}, .tabIndex = 18, .backColor = kFace,
                       .picture = "banner", .accessibleName = u"Orvendel 网络流量监视器"},
    ControlDescription{.name = "Label7", .kind = ControlKind::Label, .container = "Picture1",
                       .rect = {3960, 720, 1815, 255}, .tabIndex = 20,
                       .caption = u"Orvendel 出品", .foreColor = kRed, .backColor = kFace,
                       .opaque = true, .font = kCreditFont},
    ControlDescription{.name = "Label6", .kind = ControlKind::Label, .container = "Picture1",
                       .rect = {3960, 360, 1455, 255}, .tabIndex = 19, .caption = u"实时网络流量",
                       .foreColor = kRed, .backColor = kFace, .opaque = true},
    // The graph surface; both timers belong to it.
    ControlDescription{.name = "PIC1", .kind = ControlKind::PictureBox, .container = kWindow,
                       .rect = {0, 1080, 5685, 1750}, .tabIndex = 17, .backColor = kFace,
                       .accessibleName = u"平均下载速率曲线",
                       .accessibleDescription =
                           u"最近 100 次采样的平均下载速率，每 0.1 秒一次，最新的在右边"},
    ControlDescription{.name = "tmrUpdate", .kind = ControlKind::Timer, .container = "PIC1",
                       .intervalMs = 100},
    ControlDescription{.name = "Timer1", .kind = ControlKind::Timer, .container = "PIC1",
                       .intervalMs = 2000},
    // Upper frame: the interface choice and the peak and average rates.
    ControlDescription{.name = "Frame2", .kind = ControlKind::Frame, .container = kWindow,
                       .rect = {0, 2760, 5700, 2040}, .tabIndex = 9, .backColor = kFace},
    ControlDescription{.name = "cboConnectionType", .kind = ControlKind::DropDownList,
                       .container = "Frame2", .rect = {60, 1155, 5460, 330}, .tabIndex = 10,
                       .foreColor = kBlack, .backColor = kWhite, .font = kArialBold},
    // A long interface description wraps onto the box's second line.
    ControlDescription{.name = "lblType", .kind = ControlKind::Label, .container = "Frame2",
                       .rect = {1395, 1560, 4290, 465}, .tabIndex = 16, .caption = u"TokenRing ",
                       .foreColor = kDarkGrey, .wordWrap = true, .font = kArial},
    ControlDescription{.name = "Label1", .kind = ControlKind::Label, .container = "Frame2",
                       .rect = {135, 1560, 1095, 210}, .tabIndex = 15, .caption = u"连接类型 :",
                       .labelFor = "cboConnectionType"},
    Rate("lblDownloadSpeedTop", {45, 150, 810, 180}, 14, u"下载速率:"),
    Rate("lblUploadSpeedTop", {75, 405, 810, 180}, 13, u"上载速率:"),
    Rate("lblDownloadSpeedAverage", {60, 645, 1170, 180}, 12, u"平均下载速率:"),
    Rate("lblUploadSpeedAverage", {60, 885, 1170, 180}, 11, u"平均上载速率:"),
    // Lower frame: the totals and the current rates.
    ControlDescription{.name = "Frame3", .kind = ControlKind::Frame, .container = kWindow,
                       .rect = {0, 4800, 5700, 1770}, .tabIndex = 0, .backColor = kFace},
    ValueBox("lblUSpeed", 1305, 8, u"Label7"),
    ValueBox("lblDSpeed", 945, 7, u"Label6"),
    ValueBox("lblSent", 585, 6, u"Label1"),
    ValueBox("lblRecv", 225, 5, u"Label1"),
    Caption("Label4", {60, 990, 1440, 345}, 4, u" 下载速率:", "lblDSpeed"),
    Caption("Label3", {150, 645, 930, 255}, 3, u"发送字节:", "lblSent"),
    Caption("Label2", {60, 285, 1335, 270}, 2, u" 接收字节:", "lblRecv"),
    Caption("Label5", {60, 1305, 1440, 345}, 1, u" 上载速率:", "lblUSpeed"),
};
// clang-format on

constexpr FormDescription kForm{.name = kWindow,
                                .caption = u"Orvendel",
                                .client = {0, 0, 5730, 6585},
                                .backColor = kFace,
                                // What the blank colour cells stand for, on
                                // every desktop: Label1's text, for one.
                                .colors = {.text = kBlack, .face = kFace, .window = kWhite},
                                .font = kWindowFont,
                                .icon = "icon",
                                .fixedSize = true,
                                .controls = kControls};

}  // namespace

const FormDescription& FrmBandwidthLayout() { return kForm; }

}  // namespace orv
