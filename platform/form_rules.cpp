#include "platform/form_rules.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>

namespace orv {
namespace {

void CheckContainer(const FormDescription& form, std::size_t index) {
  const ControlDescription& d = form.controls[index];
  if (d.container == form.name) return;
  for (std::size_t i = 0; i < index; ++i) {
    const ControlDescription& holder = form.controls[i];
    if (holder.name != d.container) continue;
    if (holder.kind == ControlKind::Frame || holder.kind == ControlKind::PictureBox) return;
  }
  throw std::logic_error("control " + std::string(d.name) + ": container " +
                         std::string(d.container) + " is no frame or picture box listed before it");
}

void CheckCaption(const FormDescription& form, const ControlDescription& caption) {
  const ControlDescription* target = FindControl(form, caption.labelFor);
  if (caption.kind != ControlKind::Label || target == nullptr ||
      target->kind == ControlKind::Timer) {
    throw std::logic_error(std::string(caption.name) + " captions no control of the form");
  }
}

std::vector<std::size_t> Members(const FormDescription& form, std::string_view container) {
  std::vector<std::size_t> members;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlDescription& d = form.controls[i];
    if (d.container == container && d.kind != ControlKind::Timer) members.push_back(i);
  }
  return members;
}

// Top to bottom, then left to right, each caption moved to just before
// the control it labels when that control is a sibling.
std::vector<std::size_t> ReadingOrder(const FormDescription& form,
                                      const std::vector<std::size_t>& members) {
  const auto sibling = [&](std::string_view name) {
    return std::any_of(members.begin(), members.end(),
                       [&](std::size_t i) { return form.controls[i].name == name; });
  };
  std::vector<std::size_t> captions;
  std::vector<std::size_t> rest;
  for (std::size_t i : members) {
    const ControlDescription& d = form.controls[i];
    (!d.labelFor.empty() && sibling(d.labelFor) ? captions : rest).push_back(i);
  }
  std::stable_sort(rest.begin(), rest.end(), [&](std::size_t a, std::size_t b) {
    const TwipsRect& ra = form.controls[a].rect;
    const TwipsRect& rb = form.controls[b].rect;
    return std::tie(ra.top, ra.left) < std::tie(rb.top, rb.left);
  });
  std::vector<std::size_t> order;
  for (std::size_t i : rest) {
    for (std::size_t c : captions) {
      if (form.controls[c].labelFor == form.controls[i].name) order.push_back(c);
    }
    order.push_back(i);
  }
  return order;
}

// Where a control may paint: its rectangle, and for a label that sizes
// itself everything to its right in the container, as its text grows.
TwipsRect Reach(const ControlDescription& d, std::int32_t containerWidth) {
  TwipsRect r = d.rect;
  if (d.kind == ControlKind::Label && d.autoSize) {
    r.width = std::max(r.width, containerWidth - r.left);
  }
  return r;
}

bool Overlap(const TwipsRect& a, const TwipsRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

std::int32_t WidthOf(const FormDescription& form, std::string_view container) {
  const ControlDescription* holder = FindControl(form, container);
  return holder != nullptr ? holder->rect.width : form.client.width;
}

// Whether every pair of overlapping controls keeps the design's stacking.
bool KeepsOverlaps(const FormDescription& form, std::string_view container,
                   const std::vector<std::size_t>& design, const std::vector<std::size_t>& order) {
  const std::int32_t width = WidthOf(form, container);
  const auto rank = [](const std::vector<std::size_t>& in, std::size_t i) {
    return std::find(in.begin(), in.end(), i) - in.begin();
  };
  for (std::size_t a = 0; a < order.size(); ++a) {
    for (std::size_t b = a + 1; b < order.size(); ++b) {
      const std::size_t upper = order[a];
      const std::size_t lower = order[b];
      if (!Overlap(Reach(form.controls[upper], width), Reach(form.controls[lower], width))) {
        continue;
      }
      if (rank(design, upper) > rank(design, lower)) return false;
    }
  }
  return true;
}

}  // namespace

void CheckFormDescription(const FormDescription& form) {
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    CheckContainer(form, i);
    if (!form.controls[i].labelFor.empty()) CheckCaption(form, form.controls[i]);
  }
}

const ControlDescription* FindControl(const FormDescription& form, std::string_view name) {
  for (const ControlDescription& d : form.controls) {
    if (d.name == name) return &d;
  }
  return nullptr;
}

std::vector<std::string_view> ContainerNames(const FormDescription& form) {
  std::vector<std::string_view> names{form.name};
  for (const ControlDescription& d : form.controls) names.push_back(d.name);
  return names;
}

std::vector<std::size_t> DesignStacking(const FormDescription& form, std::string_view container) {
  std::vector<std::size_t> members = Members(form, container);
  std::stable_partition(members.begin(), members.end(),
                        [&](std::size_t i) { return form.controls[i].kind != ControlKind::Label; });
  return members;
}

std::vector<std::size_t> ReadingStacking(const FormDescription& form, std::string_view container) {
  const std::vector<std::size_t> design = DesignStacking(form, container);
  std::vector<std::size_t> reading = ReadingOrder(form, Members(form, container));
  return KeepsOverlaps(form, container, design, reading) ? reading : design;
}

std::vector<std::size_t> TabOrder(const FormDescription& form) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    if (form.controls[i].tabIndex >= 0) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return form.controls[a].tabIndex < form.controls[b].tabIndex;
  });
  return order;
}

}  // namespace orv
