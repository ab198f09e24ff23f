// Picture box (drawing surface kept as a display list), shape, line and image.
#include <algorithm>
#include <cmath>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

// ---- PictureBox ------------------------------------------------------------------------------
void PictureBox::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
  list_.clear();
}
bool PictureBox::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "ScaleMode") {
    long v = LayoutLong(value);
    if (v < 0 || v > 7) vb::Raise(380);
    p_.ScaleMode = static_cast<int>(v);
  } else if (key == "BorderStyle") p_.BorderStyle = static_cast<int>(LayoutLong(value));
  else if (key == "AutoRedraw") p_.AutoRedraw = LayoutBool(value);
  else if (key == "FillColor") p_.FillColor = LayoutLong(value);
  else if (key == "FillStyle") p_.FillStyle = static_cast<int>(LayoutLong(value));
  else if (key == "DrawWidth") p_.DrawWidth = static_cast<int>(LayoutLong(value));
  else if (key == "DrawStyle") p_.DrawStyle = static_cast<int>(LayoutLong(value));
  else if (key == "Picture") p_.Picture = value;
  else if (key == "ScaleWidth") { p_.ScaleMode = vbUser; p_.userWidth = LayoutDouble(value); }
  else if (key == "ScaleHeight") { p_.ScaleMode = vbUser; p_.userHeight = LayoutDouble(value); }
  else return Control::ApplyLayout(key, value);
  return true;
}
void PictureBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const PictureBox&>(other).p_;
}

double PictureBox::ClientWidthPixels() const {
  touch();
  double border = p_.BorderStyle == 1 ? 4 : 0;
  return std::max(0.0, static_cast<double>(c_.Width) / Screen.TwipsPerPixelX() - border);
}
double PictureBox::ClientHeightPixels() const {
  touch();
  double border = p_.BorderStyle == 1 ? 4 : 0;
  return std::max(0.0, static_cast<double>(c_.Height) / Screen.TwipsPerPixelY() - border);
}

double PictureBox::unitTwips() const {
  switch (p_.ScaleMode) {
    case vbPoints: return 20;
    case vbPixels: return Screen.TwipsPerPixelX();
    case vbCharacters: return 120;
    case vbInches: return 1440;
    case vbMillimeters: return 1440 / 25.4;
    case vbCentimeters: return 1440 / 2.54;
    default: return 1;
  }
}

int PictureBox::ScaleMode() const { touch(); return p_.ScaleMode; }
void PictureBox::ScaleMode(int v) {
  touch();
  if (v < 0 || v > 7) vb::Raise(380);
  if (v == vbUser) {
    if (p_.ScaleMode != vbUser) {
      p_.userLeft = 0;
      p_.userTop = 0;
      p_.userWidth = ScaleWidth();
      p_.userHeight = ScaleHeight();
    }
  }
  p_.ScaleMode = v;
}
double PictureBox::ScaleWidth() const {
  touch();
  if (p_.ScaleMode == vbUser) return p_.userWidth;
  return ClientWidthPixels() * Screen.TwipsPerPixelX() / unitTwips();
}
double PictureBox::ScaleHeight() const {
  touch();
  if (p_.ScaleMode == vbUser) return p_.userHeight;
  double unit = p_.ScaleMode == vbCharacters ? 240 : unitTwips();
  return ClientHeightPixels() * Screen.TwipsPerPixelY() / unit;
}
double PictureBox::ScaleLeft() const { touch(); return p_.ScaleMode == vbUser ? p_.userLeft : 0; }
double PictureBox::ScaleTop() const { touch(); return p_.ScaleMode == vbUser ? p_.userTop : 0; }
void PictureBox::ScaleWidth(double v) {
  if (v == 0) vb::Raise(380);
  ScaleMode(vbUser);
  p_.userWidth = v;
}
void PictureBox::ScaleHeight(double v) {
  if (v == 0) vb::Raise(380);
  ScaleMode(vbUser);
  p_.userHeight = v;
}
void PictureBox::ScaleLeft(double v) {
  ScaleMode(vbUser);
  p_.userLeft = v;
}
void PictureBox::ScaleTop(double v) {
  ScaleMode(vbUser);
  p_.userTop = v;
}

double PictureBox::xPixel(double x) const {
  double w = ScaleWidth();
  return w == 0 ? 0 : (x - ScaleLeft()) * ClientWidthPixels() / w;
}
double PictureBox::yPixel(double y) const {
  double h = ScaleHeight();
  return h == 0 ? 0 : (y - ScaleTop()) * ClientHeightPixels() / h;
}
void PictureBox::toScale(double xPixels, double yPixels, float& x, float& y) const {
  double cw = ClientWidthPixels(), ch = ClientHeightPixels();
  x = static_cast<float>(cw == 0 ? 0 : ScaleLeft() + xPixels * ScaleWidth() / cw);
  y = static_cast<float>(ch == 0 ? 0 : ScaleTop() + yPixels * ScaleHeight() / ch);
}

#define FORMS_PB_PROP(Type, Name, group)           \
  Type PictureBox::Name() const {                  \
    touch();                                       \
    return p_.Name;                                \
  }                                                \
  void PictureBox::Name(Type v) {                  \
    touch();                                       \
    if (p_.Name == v) return;                      \
    p_.Name = v;                                   \
    notify(group);                                 \
  }
FORMS_PB_PROP(bool, AutoRedraw, Prop::Other)
FORMS_PB_PROP(long, FillColor, Prop::Other)
FORMS_PB_PROP(double, CurrentX, Prop::Other)
FORMS_PB_PROP(double, CurrentY, Prop::Other)
#undef FORMS_PB_PROP
int PictureBox::BorderStyle() const { touch(); return p_.BorderStyle; }
void PictureBox::BorderStyle(int v) {
  touch();
  if (v < 0 || v > 1) vb::Raise(380);
  if (p_.BorderStyle == v) return;
  p_.BorderStyle = v;
  notify(Prop::Appearance);
}
int PictureBox::FillStyle() const { touch(); return p_.FillStyle; }
void PictureBox::FillStyle(int v) {
  touch();
  if (v < 0 || v > 7) vb::Raise(380);
  p_.FillStyle = v;
}
int PictureBox::DrawWidth() const { touch(); return p_.DrawWidth; }
void PictureBox::DrawWidth(int v) {
  touch();
  if (v < 1 || v > 32767) vb::Raise(380);
  p_.DrawWidth = v;
}
int PictureBox::DrawStyle() const { touch(); return p_.DrawStyle; }
void PictureBox::DrawStyle(int v) {
  touch();
  if (v < 0 || v > 6) vb::Raise(380);
  p_.DrawStyle = v;
}
const std::string& PictureBox::Picture() const { touch(); return p_.Picture; }
void PictureBox::Picture(const std::string& v) {
  touch();
  p_.Picture = v;
  notify(Prop::Picture);
  raiseChange();
}

void PictureBox::add(DrawOp op) {
  op.drawWidth = p_.DrawWidth;
  op.drawStyle = p_.DrawWidth > 1 ? 0 : p_.DrawStyle;
  list_.push_back(op);
  notify(Prop::Drawing);
}

void PictureBox::Cls() {
  touch();
  list_.clear();
  p_.CurrentX = p_.CurrentY = 0;
  notify(Prop::Drawing);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, long color) {
  touch();
  DrawOp op;
  op.type = DrawOp::Line;
  op.x1 = xPixel(x1);
  op.y1 = yPixel(y1);
  op.x2 = xPixel(x2);
  op.y2 = yPixel(y2);
  op.color = color == -1 ? c_.ForeColor : color;
  add(op);
  p_.CurrentX = x2;
  p_.CurrentY = y2;
}

void PictureBox::LineTo(double x2, double y2, long color) { Line(p_.CurrentX, p_.CurrentY, x2, y2, color); }

void PictureBox::Box(double x1, double y1, double x2, double y2, long color, bool filled) {
  touch();
  DrawOp op;
  op.type = filled ? DrawOp::FilledBox : DrawOp::Box;
  op.x1 = xPixel(x1);
  op.y1 = yPixel(y1);
  op.x2 = xPixel(x2);
  op.y2 = yPixel(y2);
  op.color = color == -1 ? c_.ForeColor : color;
  op.fillColor = filled ? op.color : p_.FillColor;
  op.fillStyle = filled ? 0 : p_.FillStyle;
  add(op);
  p_.CurrentX = x2;
  p_.CurrentY = y2;
}

void PictureBox::Circle(double x, double y, double radius, long color) {
  touch();
  DrawOp op;
  op.type = DrawOp::Circle;
  op.x1 = xPixel(x);
  op.y1 = yPixel(y);
  double w = ScaleWidth();
  op.radius = w == 0 ? 0 : std::fabs(radius * ClientWidthPixels() / w);
  op.color = color == -1 ? c_.ForeColor : color;
  op.fillColor = p_.FillColor;
  op.fillStyle = p_.FillStyle;
  add(op);
  p_.CurrentX = x;
  p_.CurrentY = y;
}

void PictureBox::PSet(double x, double y, long color) {
  touch();
  DrawOp op;
  op.type = DrawOp::Point;
  op.x1 = xPixel(x);
  op.y1 = yPixel(y);
  op.color = color == -1 ? c_.ForeColor : color;
  add(op);
  p_.CurrentX = x;
  p_.CurrentY = y;
}

const std::vector<DrawOp>& PictureBox::DisplayList() const {
  touch();
  return list_;
}

// ---- Shape -----------------------------------------------------------------------------------
void Shape::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
}
bool Shape::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Shape") p_.ShapeType = static_cast<int>(LayoutLong(value));
  else if (key == "FillStyle") p_.FillStyle = static_cast<int>(LayoutLong(value));
  else if (key == "FillColor") p_.FillColor = LayoutLong(value);
  else if (key == "BackStyle") p_.BackStyle = static_cast<int>(LayoutLong(value));
  else if (key == "BorderStyle") p_.BorderStyle = static_cast<int>(LayoutLong(value));
  else if (key == "BorderColor") p_.BorderColor = LayoutLong(value);
  else if (key == "BorderWidth") p_.BorderWidth = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  return true;
}
void Shape::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const Shape&>(other).p_;
}
#define FORMS_SHAPE_PROP(Type, Name, Field, lo, hi)  \
  Type Shape::Name() const {                         \
    touch();                                         \
    return p_.Field;                                 \
  }                                                  \
  void Shape::Name(Type v) {                         \
    touch();                                         \
    if (v < lo || v > hi) vb::Raise(380);            \
    if (p_.Field == v) return;                       \
    p_.Field = v;                                    \
    notify(Prop::Appearance);                        \
  }
FORMS_SHAPE_PROP(int, ShapeType, ShapeType, 0, 5)
FORMS_SHAPE_PROP(int, FillStyle, FillStyle, 0, 7)
FORMS_SHAPE_PROP(long, FillColor, FillColor, -2147483647L - 1, 2147483647L)
FORMS_SHAPE_PROP(int, BackStyle, BackStyle, 0, 1)
FORMS_SHAPE_PROP(int, BorderStyle, BorderStyle, 0, 6)
FORMS_SHAPE_PROP(long, BorderColor, BorderColor, -2147483647L - 1, 2147483647L)
FORMS_SHAPE_PROP(int, BorderWidth, BorderWidth, 1, 8192)
#undef FORMS_SHAPE_PROP

// ---- Line ------------------------------------------------------------------------------------
void Line::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
}
bool Line::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "X1") p_.X1 = LayoutLong(value);
  else if (key == "Y1") p_.Y1 = LayoutLong(value);
  else if (key == "X2") p_.X2 = LayoutLong(value);
  else if (key == "Y2") p_.Y2 = LayoutLong(value);
  else if (key == "BorderColor") p_.BorderColor = LayoutLong(value);
  else if (key == "BorderWidth") p_.BorderWidth = static_cast<int>(LayoutLong(value));
  else if (key == "BorderStyle") p_.BorderStyle = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  return true;
}
void Line::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const Line&>(other).p_;
}
#define FORMS_LINE_PROP(Type, Name, group) \
  Type Line::Name() const {                \
    touch();                               \
    return p_.Name;                        \
  }                                        \
  void Line::Name(Type v) {                \
    touch();                               \
    if (p_.Name == v) return;              \
    p_.Name = v;                           \
    notify(group);                         \
  }
FORMS_LINE_PROP(long, X1, Prop::Geometry)
FORMS_LINE_PROP(long, Y1, Prop::Geometry)
FORMS_LINE_PROP(long, X2, Prop::Geometry)
FORMS_LINE_PROP(long, Y2, Prop::Geometry)
FORMS_LINE_PROP(long, BorderColor, Prop::Appearance)
FORMS_LINE_PROP(int, BorderWidth, Prop::Appearance)
FORMS_LINE_PROP(int, BorderStyle, Prop::Appearance)
#undef FORMS_LINE_PROP

// ---- Image -----------------------------------------------------------------------------------
void Image::ResetDesign() {
  Control::ResetDesign();
  picture_.clear();
  stretch_ = false;
}
bool Image::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Picture") picture_ = value;
  else if (key == "Stretch") stretch_ = LayoutBool(value);
  else return Control::ApplyLayout(key, value);
  return true;
}
void Image::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  picture_ = static_cast<const Image&>(other).picture_;
  stretch_ = static_cast<const Image&>(other).stretch_;
}
const std::string& Image::Picture() const { touch(); return picture_; }
void Image::Picture(const std::string& v) {
  touch();
  if (picture_ == v) return;
  picture_ = v;
  notify(Prop::Picture);
}
bool Image::Stretch() const { touch(); return stretch_; }
void Image::Stretch(bool v) {
  touch();
  stretch_ = v;
  notify(Prop::Appearance);
}

}  // namespace forms
