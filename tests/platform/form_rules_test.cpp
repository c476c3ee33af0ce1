// The form description's rules and the orders both toolkits build from.

#include "platform/form_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {
namespace {

// A caption listed after and standing a little lower than its control,
// a timer, and in a frame two labels that overlap, listed against the
// reading order.
constexpr std::array kControls{
    ControlDescription{.name = "value",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {1500, 300, 1200, 300}},
    ControlDescription{.name = "list",
                       .kind = ControlKind::DropDownList,
                       .container = "form",
                       .rect = {1500, 900, 2400, 330},
                       .tabIndex = 2},
    ControlDescription{.name = "box",
                       .kind = ControlKind::Frame,
                       .container = "form",
                       .rect = {1800, 1500, 2400, 1200},
                       .tabIndex = 1},
    ControlDescription{.name = "low",
                       .kind = ControlKind::Label,
                       .container = "box",
                       .rect = {150, 500, 900, 400}},
    ControlDescription{.name = "high",
                       .kind = ControlKind::Label,
                       .container = "box",
                       .rect = {150, 300, 900, 400}},
    ControlDescription{.name = "tick", .kind = ControlKind::Timer, .container = "form"},
    ControlDescription{.name = "listCaption",
                       .kind = ControlKind::Label,
                       .container = "form",
                       .rect = {150, 1000, 1200, 300},
                       .tabIndex = 1,
                       .labelFor = "list"},
};

FormDescription Form(std::span<const ControlDescription> controls) {
  return FormDescription{.name = "form", .client = {0, 0, 4500, 3000}, .controls = controls};
}

TEST(FormRulesTest, BrokenDescriptionsAreRejected) {
  struct Case {
    const char* what;
    std::function<void(std::array<ControlDescription, kControls.size()>&)> breakIt;
  };
  const Case cases[] = {
      {"a caption of nothing", [](auto& c) { c[6].labelFor = "nothing"; }},
      {"a caption of a timer", [](auto& c) { c[6].labelFor = "tick"; }},
      {"a caption that is no label", [](auto& c) { c[1].labelFor = "value"; }},
      {"a container listed later", [](auto& c) { c[3].container = "listCaption"; }},
      {"a container that is no frame", [](auto& c) { c[3].container = "value"; }},
      {"a container of no control", [](auto& c) { c[3].container = "nowhere"; }},
  };
  auto intact = kControls;
  EXPECT_NO_THROW(CheckFormDescription(Form(intact)));
  for (const Case& c : cases) {
    auto controls = kControls;
    c.breakIt(controls);
    EXPECT_THROW(CheckFormDescription(Form(controls)), std::logic_error) << c.what;
  }
}

TEST(FormRulesTest, StackingAndTabOrder) {
  const FormDescription form = Form(kControls);
  // Windowed controls first, in the description's order, then labels.
  EXPECT_EQ(DesignStacking(form, "form"), (std::vector<std::size_t>{1, 2, 0, 6}));
  // Top to bottom, the caption just above its list; no timer.
  EXPECT_EQ(ReadingStacking(form, "form"), (std::vector<std::size_t>{0, 6, 1, 2}));
  // "low" was listed above "high", and they overlap: that stays.
  EXPECT_EQ(ReadingStacking(form, "box"), (std::vector<std::size_t>{3, 4}));
  // Ties keep the description's order; timers and -1 take no part.
  EXPECT_EQ(TabOrder(form), (std::vector<std::size_t>{2, 6, 1}));
  EXPECT_EQ(FindControl(form, "box"), &form.controls[2]);
  EXPECT_EQ(FindControl(form, "form"), nullptr);
}

}  // namespace
}  // namespace orv
