#pragma once

#include <cstdint>
#include <memory>

#include "platform/collection.h"
#include "platform/picture_surface.h"

namespace orv {

// The history of graph values: numbers, entry 1 the oldest.
using History = Collection<double>;

// The number of newest history values the graph shows and keeps.
inline constexpr std::int16_t kGraphValues = 100;

// Draws the newest 100 values of a history as one line over an optional
// border and a 20 x 10 grid, redrawing the whole surface on every call,
// and trims the history to those 100 values.
class clsLineGraph {
 public:
  void GridColor(Color value) { m_gridColor = value; }
  Color GridColor() const { return m_gridColor; }
  void GridVisible(bool value) { m_gridVisible = value; }
  bool GridVisible() const { return m_gridVisible; }
  void BorderColor(Color value) { m_borderColor = value; }
  Color BorderColor() const { return m_borderColor; }
  void BorderSize(std::int16_t value) { m_borderSize = value; }
  std::int16_t BorderSize() const { return m_borderSize; }
  void PicForeground(Color value) { m_picForeground = value; }
  Color PicForeground() const { return m_picForeground; }
  void PicBackground(Color value) { m_picBackground = value; }
  Color PicBackground() const { return m_picBackground; }
  void DataCollection(std::shared_ptr<History> value) { m_dataCollection = std::move(value); }
  std::shared_ptr<History> DataCollection() const { return m_dataCollection; }
  // The surface is the caller's (a window's child control): the graph
  // does not own it, and the caller unbinds it or outlives the graph.
  void PictureBox(PictureSurface* value) { m_pictureBox = value; }
  PictureSurface* PictureBox() const { return m_pictureBox; }

  // Reports no failure: the first Error ends the drawing, and what was
  // drawn and trimmed until then stays.
  void Draw();

 private:
  PictureSurface* m_pictureBox = nullptr;
  std::shared_ptr<History> m_dataCollection;
  Color m_picBackground = 0;
  Color m_picForeground = 0;
  std::int16_t m_borderSize = 0;
  Color m_borderColor = 0;
  bool m_gridVisible = false;
  Color m_gridColor = 0;
};

}  // namespace orv
