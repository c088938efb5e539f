// The drawing surface of the analog threshold graph: a retained picture in
// twips, origin top left, y downwards.
#pragma once

#include <string>

#include "workspace/usage.h"  // Rgb

namespace vexa {

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual double Width() const = 0;   // twips
  virtual double Height() const = 0;  // twips
  virtual void Clear() = 0;           // to the background colour
  virtual Rgb Background() const = 0;
  virtual void SetColour(Rgb c) = 0;
  virtual Rgb Colour() const = 0;
  virtual void FillRect(double x1, double y1, double x2, double y2) = 0;  // current colour
  virtual void Line(double x1, double y1, double x2, double y2) = 0;      // current colour
  virtual double TextWidth(const std::string& utf8) const = 0;
  virtual double TextHeight(const std::string& utf8) const = 0;
  virtual void SetTextPosition(double x, double y) = 0;  // top-left of the next text
  virtual void PrintText(const std::string& utf8) = 0;   // current colour, transparent
};

}  // namespace vexa
