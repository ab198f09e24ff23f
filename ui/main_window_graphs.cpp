// What the values look like: the gamma curves and CDS gain lines, the white-balance centre
// planes (which also take the mouse), the bar graph beside every scroll bar, the iris frame
// weights with the Divide and Multiply values they give, and the burst-level fractions.
// Everything is drawn through the picture boxes and shapes, which keep what was drawn.
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"

namespace {

constexpr long kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kMagenta = 0xFF00FF, kCyan = 0xFFFF00;
constexpr long kGammaCaption = 383;  // "Gamma"

// The nearest whole number, halves to even.
long nearest(double x) {
  if (!std::isfinite(x)) vb::Raise(vb::errOverflow);
  return static_cast<long>(std::nearbyint(x));
}

double divide(double a, double b) {
  if (b == 0) vb::Raise(a == 0 ? vb::errOverflow : vb::errDivisionByZero);
  return a / b;
}

// Pixel scale, then W and H, then a clear page.
void startDrawing(forms::PictureBox& pic, long& width, long& height) {
  pic.ScaleMode(forms::vbPixels);
  width = nearest(pic.ScaleWidth());
  height = nearest(pic.ScaleHeight());
  pic.Cls();
}

bool isAWBCentreBar(int32_t code, bool vertical) {
  return vertical ? (code == 144 || code == 146) : (code == 145 || code == 147);
}

}  // namespace

// ---- Gamma curves and CDS gain lines ------------------------------------------------------------

bool FrmMain::blnSetPctGraph(int32_t code) {
  return vb::guarded("frmMain.blnSetPctGraph", [&] {
    forms::PictureBox& pic = pctData(code);
    pic.BorderStyle(0);
    long W = 0, H = 0;
    startDrawing(pic, W, H);
    pic.Line(1, 1, 1, H);
    pic.Line(1, H - 1, W - 1, H - 1);

    const uint8_t v = gbyteCurrentData[code];
    const bool gamma = code >= 92 && code <= 95;
    float g = 1;
    double slope = 0, offset = 0;
    if (gamma) {
      g = static_cast<float>(std::pow(0.9513, v));
      lblCurGamma(code).Caption(vb::LoadResString(kGammaCaption) + "=" + vb::Format(g, "0.00"));
    } else {
      slope = ((v & 192) / 64 + 1) / 3.0;
      offset = (v & 63) / 63.0 * 0.5;
    }
    // Eleven points, t = 0, 0.1, ... 1; the CDS line may leave the picture at the top.
    long lastX = 0, lastY = 0;
    for (int k = 0; k <= 10; ++k) {
      const double t = k / 10.0;
      const double y = gamma ? std::pow(t, static_cast<double>(g)) : slope * t + offset;
      const long px = nearest(t * (W - 1) + 1);
      const long py = nearest(H - y * (H - 1) - 1);
      if (k > 0) pic.Line(lastX, lastY, px, py);
      lastX = px;
      lastY = py;
    }
    return true;
  });
}

// ---- White-balance centre planes ----------------------------------------------------------------

bool FrmMain::blnSetPctAWBCenter(int32_t code) {
  return vb::guarded("frmMain.blnSetPctAWBCenter", [&] {
    if (code < 144 || code > 147) return true;
    // Plane 0 shows codes 144 (R-B, vertical) and 145 (Mg-G, horizontal); plane 1 shows 146
    // and 147 mirrored in both directions.
    const int plane = code <= 145 ? 0 : 1;
    const int rbCode = 144 + 2 * plane, gmCode = rbCode + 1;
    const double minGM = udData(gmCode).Min(), maxGM = udData(gmCode).Max();
    const double minRB = udData(rbCode).Min(), maxRB = udData(rbCode).Max();
    double gm = gbyteCurrentData[gmCode], rb = gbyteCurrentData[rbCode];
    if (plane == 1) {
      gm = maxGM - gm;
      rb = maxRB - rb;
    }
    const double shift = plane == 0 ? 32 : 31;
    lblAWBCenter(plane).Caption("(" + vb::CStr(gm - shift) + "," + vb::CStr(rb - shift) + ")");

    forms::PictureBox& pic = pctAWBCenter(plane);
    long W = 0, H = 0;
    startDrawing(pic, W, H);
    const long m = nearest(W * 0.05);
    const double cx = W / 2.0, cy = H / 2.0;
    pic.Line(cx, cy, cx, m + 1, kRed);
    pic.Line(cx, cy, cx, H - m - 1, kBlue);
    pic.Line(cx, cy, m + 1, cy, kGreen);
    pic.Line(cx, cy, W - m - 1, cy, kMagenta);
    const long x = nearest(divide(gm - minGM, maxGM - minGM) * (W - 2 * (m + 1)) + m + 1);
    const long y = nearest(divide(maxRB - rb, maxRB - minRB) * (H - 2 * (m + 1)) + m + 1);
    pic.Circle(x, y, m, kCyan);
    return true;
  });
}

bool FrmMain::mblnSetAWBCenter(int X, int Y, int Index) {
  return vb::guarded("frmMain.mblnSetAWBCenter", [&] {
    forms::PictureBox& pic = pctAWBCenter(Index);
    const double sw = pic.ScaleWidth(), sh = pic.ScaleHeight();
    const double m = sw * 0.05 + 1;
    const double w = sw - 2 * m, h = sh - 2 * m;
    long gm = nearest(divide(X - m, w) * 64);
    long rb = nearest(64 - divide(Y - m, h) * 64);
    gm = std::max(-32L, std::min(64L, gm));
    rb = std::max(-32L, std::min(64L, rb));
    if (Index == 1) {
      gm = 64 - gm;
      rb = 64 - rb;
    }
    const int rbCode = Index == 0 ? 144 : 146, gmCode = rbCode + 1;
    const bool saved = mblnSetByProgram;
    mblnSetByProgram = true;
    txtData(rbCode).Text(vb::CStr(rb));
    txtData(gmCode).Text(vb::CStr(gm));
    mblnSetByProgram = saved;
    // The value boxes clamp to 0..63, store, send, move the bars and redraw the plane.
    txtData_Change(rbCode);
    txtData_Change(gmCode);
    return true;
  });
}

void FrmMain::pctAWBCenter_MouseMove(int Index, int Button, int Shift, float X, float Y) {
  vb::guarded("frmMain.pctAWBCenter_MouseMove", [&] {
    if (Button == forms::vbLeftButton) mblnSetAWBCenter(vb::CInt(X), vb::CInt(Y), Index);
  });
}

void FrmMain::pctAWBCenter_MouseUp(int Index, int Button, int Shift, float X, float Y) {
  vb::guarded("frmMain.pctAWBCenter_MouseUp", [&] {
    if (Button == forms::vbLeftButton) mblnSetAWBCenter(vb::CInt(X), vb::CInt(Y), Index);
  });
}

// ---- Bar graphs ---------------------------------------------------------------------------------

bool FrmMain::blnSetShpSize(int32_t code, bool vertical) {
  return vb::guarded("frmMain.blnSetShpSize", [&] {
    const forms::ScrollBar& bar = vertical ? static_cast<const forms::ScrollBar&>(vsData(code))
                                           : static_cast<const forms::ScrollBar&>(hsData(code));
    const double value = bar.Value(), min = bar.Min(), max = bar.Max();
    // The centre codes show the distance from the middle, at most a half.
    const bool centre = isAWBCentreBar(code, vertical);
    const double r = centre ? divide(std::fabs(value - (max - min) / 2), max - min) : divide(value - min, max - min);
    forms::Shape& front = shpFrontData(code);
    forms::Shape& back = shpBackData(code);
    if (vertical) front.Height(nearest(back.Height() * r));
    else front.Width(nearest(back.Width() * r));

    const int c = static_cast<int>(nearest((1 - r) * 255) & 0xFF);
    switch (code) {
      case 10: case 76: case 104: back.FillColor(forms::RGB(0, 0, c)); break;
      case 11: case 77: case 105: back.FillColor(forms::RGB(c, 0, 0)); break;
      case 192: back.FillColor(forms::RGB(c, c, c)); break;
      default: break;
    }
    if (centre) {
      const bool upper = (max - min) / 2 + min <= value;
      if (vertical) {
        // Blue hangs down from the middle, red stands up from it.
        front.FillColor(upper ? kBlue : kRed);
        const double middle = back.Top() + back.Height() / 2.0;
        front.Top(nearest(upper ? middle : middle - front.Height()));
      } else {
        // Magenta runs right from the middle, green runs left.
        front.FillColor(upper ? kMagenta : kGreen);
        const double middle = back.Left() + back.Width() / 2.0;
        front.Left(nearest(upper ? middle : middle - front.Width()));
      }
    }
    return true;
  });
}

// ---- Iris frame ---------------------------------------------------------------------------------

bool FrmMain::blnIrisFrameDivMulSet() {
  return vb::guarded("frmMain.blnIrisFrameDivMulSet", [&] {
    // The six weights are added as one byte.
    int sum = 0;
    for (int c = 200; c <= 205; ++c) {
      sum += gbyteCurrentData[c];
      if (sum > 255) vb::Raise(vb::errOverflow);
    }
    if (sum == 0) return true;
    // Divide / Multiply = sum / 63 in lowest terms (63 = 3 × 3 × 7).
    int divide = sum, multiply = 63;
    if (divide % 3 == 0) {
      divide /= 3;
      multiply /= 3;
      if (divide % 3 == 0) {
        divide /= 3;
        multiply /= 3;
      }
    }
    if (divide % 7 == 0) {
      divide /= 7;
      multiply /= 7;
    }
    if (mdlMSComm::gblnSupportCmdOrNot(206)) txtData(206).Text(vb::CStr(divide));
    if (mdlMSComm::gblnSupportCmdOrNot(207)) txtData(207).Text(vb::CStr(multiply));
    return true;
  });
}

bool FrmMain::blnIrisFrameLabelSet() {
  return vb::guarded("frmMain.blnIrisFrameLabelSet", [&] {
    for (forms::Label& label : lblIrisFrame) {
      const int32_t code = vb::CLng(label.Tag());
      if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
      label.Caption(vb::CStr(gbyteCurrentData[code]));
    }
    return true;
  });
}

// ---- Burst-level fractions ----------------------------------------------------------------------

bool FrmMain::mblnUpdateInfoLabel(int32_t code) {
  return vb::guarded("frmMain.mblnUpdateInfoLabel", [&] {
    for (forms::Label& label : lblInfo) {
      const int i = label.Index();
      if (code != -1 && i != code) continue;
      const bool burst = (i >= 240 && i <= 243) || (i >= 246 && i <= 249);
      if (!burst) {
        label.Caption("");
        continue;
      }
      // A 7-bit signed value in bits 6 to 0, shown as a fraction of 64.
      const int v = gbyteCurrentData[i];
      const int s = (v & 64) ? (v & 63) - 64 : v & 63;
      label.Caption(vb::Format(s / 64.0, "0.00"));
    }
    return true;
  });
}
