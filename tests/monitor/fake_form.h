#pragma once

// A form of plain C++ stand-ins, built from the same description as the
// real window: labels that keep their text, a list with the toolkit's
// limits, timers the test fires by hand, and a recording picture surface.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/form.h"
#include "platform/form_description.h"
#include "tests/support/recording_surface.h"

namespace orv::test {

class FakeLabel : public Label {
 public:
  std::u16string Caption() const override { return text; }
  void Caption(std::u16string_view value) override { text = value; }
  std::u16string text;
};

class FakeList : public DropDownList {
 public:
  void AddItem(std::u16string_view text) override {
    if (entries.size() >= 32767) throw Error(ErrorCode::Overflow, "too many list entries");
    entries.emplace_back(text);
  }
  void Clear() override {
    entries.clear();
    index = -1;
  }
  std::int16_t ListCount() const override { return static_cast<std::int16_t>(entries.size()); }
  std::int16_t ListIndex() const override { return index; }
  void ListIndex(std::int16_t position) override {
    if (position < -1 || position >= ListCount()) {
      throw Error(ErrorCode::InvalidProperty, "invalid list position");
    }
    index = position;
  }
  std::u16string List(std::int16_t position) const override {
    ++entriesRead;
    if (position < 0 || position >= ListCount()) {
      throw Error(ErrorCode::InvalidProperty, "no list entry");
    }
    return entries[static_cast<std::size_t>(position)];
  }
  std::vector<std::u16string> entries;
  std::int16_t index = -1;
  // Entries read back through the toolkit: a tick compares against what
  // the window put in, and reads none.
  mutable int entriesRead = 0;
};

// Counts the uses it gets once its window was closed: a real toolkit's
// timer would be gone by then.
class FakeTimer : public Timer {
 public:
  bool Enabled() const override { return enabled; }
  void Enabled(bool on) override {
    Use();
    enabled = on;
  }
  void OnTimer(std::function<void()> h) override {
    Use();
    handler = std::move(h);
  }
  bool enabled = false;
  std::function<void()> handler;
  const bool* windowAlive = nullptr;
  // Where to count those uses; the test owns it, as it may outlive the form.
  int* touchedAfterClose = nullptr;

 private:
  void Use() {
    if (windowAlive != nullptr && !*windowAlive && touchedAfterClose != nullptr) {
      ++*touchedAfterClose;
    }
  }
};

class FakeForm : public Form {
 public:
  explicit FakeForm(const FormDescription& description) {
    for (const ControlDescription& d : description.controls) {
      const std::string name(d.name);
      switch (d.kind) {
        case ControlKind::Label:
          labels[name].text = d.caption;
          break;
        case ControlKind::DropDownList:
          lists[name];
          break;
        case ControlKind::PictureBox:
          pictures[name];
          break;
        case ControlKind::Timer:
          timers[name].windowAlive = m_alive.get();
          break;
        case ControlKind::Frame:
          break;
      }
    }
  }
  ~FakeForm() override { *m_alive = false; }

  Label& FindLabel(std::string_view name) override { return Find(labels, name); }
  DropDownList& FindList(std::string_view name) override { return Find(lists, name); }
  PictureSurface& FindPicture(std::string_view name) override { return Find(pictures, name); }
  Timer& FindTimer(std::string_view name) override { return Find(timers, name); }
  AliveToken Token() const override {
    return AliveToken([alive = std::weak_ptr<bool>(m_alive)] {
      const auto flag = alive.lock();
      return flag && *flag;
    });
  }

  // Ends the window as a toolkit would, while the form object stays.
  void Close() { *m_alive = false; }

  std::map<std::string, FakeLabel, std::less<>> labels;
  std::map<std::string, FakeList, std::less<>> lists;
  std::map<std::string, RecordingSurface, std::less<>> pictures;
  std::map<std::string, FakeTimer, std::less<>> timers;

 private:
  template <class Map>
  static typename Map::mapped_type& Find(Map& map, std::string_view name) {
    const auto it = map.find(name);
    if (it == map.end()) throw std::logic_error("no control " + std::string(name));
    return it->second;
  }

  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace orv::test
