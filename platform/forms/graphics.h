#pragma once
// Picture box (with its display list), shape, line and image.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

// One drawing operation of a picture box, in pixels of its client area.
struct DrawOp {
  enum Type { Line, Box, FilledBox, Circle, Point } type = Line;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line/Box: the two corners; Circle/Point: x1, y1
  double radius = 0;                       // Circle, pixels
  long color = 0;                          // pen colour
  int drawWidth = 1;                       // pixels
  int drawStyle = 0;                       // 0 solid, 1 dash, 2 dot, ...
  long fillColor = 0;
  int fillStyle = 1;                       // 0 solid, 1 transparent, ...
};

class PictureBox : public Control {
 public:
  PictureBox(Form* form, std::string name) : Control(Kind::PictureBox, form, std::move(name)) { ResetDesign(); }
  // Scale. A non-zero ScaleMode resets ScaleLeft/Top and derives ScaleWidth/Height from the
  // client area; assigning ScaleWidth/Height/Left/Top switches to user scale (0).
  int ScaleMode() const;
  void ScaleMode(int v);
  double ScaleWidth() const;
  void ScaleWidth(double v);
  double ScaleHeight() const;
  void ScaleHeight(double v);
  double ScaleLeft() const;
  void ScaleLeft(double v);
  double ScaleTop() const;
  void ScaleTop(double v);
  // Client area in pixels (inside a 2-pixel border when BorderStyle is 1).
  double ClientWidthPixels() const;
  double ClientHeightPixels() const;
  int BorderStyle() const;
  void BorderStyle(int v);
  bool AutoRedraw() const;
  void AutoRedraw(bool v);
  long FillColor() const;
  void FillColor(long v);
  int FillStyle() const;
  void FillStyle(int v);
  int DrawWidth() const;
  void DrawWidth(int v);
  int DrawStyle() const;
  void DrawStyle(int v);
  double CurrentX() const;
  void CurrentX(double v);
  double CurrentY() const;
  void CurrentY(double v);
  const std::string& Picture() const;
  void Picture(const std::string& v);

  // Drawing, in the current scale. color -1 = ForeColor.
  void Cls();
  void Line(double x1, double y1, double x2, double y2, long color = -1);
  void LineTo(double x2, double y2, long color = -1);  // from (CurrentX, CurrentY)
  void Box(double x1, double y1, double x2, double y2, long color = -1, bool filled = false);
  void Circle(double x, double y, double radius, long color = -1);
  void PSet(double x, double y, long color = -1);
  // The display list since the last Cls, in client pixels.
  const std::vector<DrawOp>& DisplayList() const;

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  PictureBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::PictureBox, form, std::move(name), index, array) { ResetDesign(); }
  void toScale(double xPixels, double yPixels, float& x, float& y) const override;
  double xPixel(double x) const;
  double yPixel(double y) const;
  double unitTwips() const;  // twips per scale unit for modes 1..7
  void add(DrawOp op);
  struct Props {
    int ScaleMode = vbTwips;
    double userLeft = 0, userTop = 0, userWidth = 0, userHeight = 0;
    int BorderStyle = 1;
    bool AutoRedraw = false;
    long FillColor = 0;
    int FillStyle = 1, DrawWidth = 1, DrawStyle = 0;
    double CurrentX = 0, CurrentY = 0;
    std::string Picture;
  };
  Props p_;
  std::vector<DrawOp> list_;
};

class Shape : public Control {
 public:
  Shape(Form* form, std::string name) : Control(Kind::Shape, form, std::move(name)) { ResetDesign(); }
  int ShapeType() const;  // the Shape property: 0 rectangle .. 5 rounded square
  void ShapeType(int v);
  int FillStyle() const;  // 0 solid, 1 transparent (default)
  void FillStyle(int v);
  long FillColor() const;
  void FillColor(long v);
  int BackStyle() const;  // 0 transparent (default), 1 opaque
  void BackStyle(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  long BorderColor() const;
  void BorderColor(long v);
  int BorderWidth() const;
  void BorderWidth(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Shape(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Shape, form, std::move(name), index, array) { ResetDesign(); }
  struct Props {
    int ShapeType = 0, FillStyle = 1, BackStyle = 0, BorderStyle = 1, BorderWidth = 1;
    long FillColor = 0, BorderColor = vbWindowText;
  };
  Props p_;
};

class Line : public Control {
 public:
  Line(Form* form, std::string name) : Control(Kind::Line, form, std::move(name)) { ResetDesign(); }
  long X1() const;
  void X1(long v);
  long Y1() const;
  void Y1(long v);
  long X2() const;
  void X2(long v);
  long Y2() const;
  void Y2(long v);
  long BorderColor() const;
  void BorderColor(long v);
  int BorderWidth() const;
  void BorderWidth(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Line(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Line, form, std::move(name), index, array) { ResetDesign(); }
  struct Props {
    long X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, BorderColor = vbWindowText;
    int BorderWidth = 1, BorderStyle = 1;
  };
  Props p_;
};

class Image : public Control {
 public:
  Image(Form* form, std::string name) : Control(Kind::Image, form, std::move(name)) { ResetDesign(); }
  // The picture: a resource path ("images/logo.png") or "" for none.
  const std::string& Picture() const;
  void Picture(const std::string& v);
  bool Stretch() const;
  void Stretch(bool v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Image(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Image, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override {}
  std::string picture_;
  bool stretch_ = false;
};

}  // namespace forms
