// Generates the main window's layout (resources/forms/frmMain.txt) from its description
// (resources/forms/frmMain.desc) and the message catalogue (the display names of the codes).
//
//   frmmain_layout_gen DESC CATALOGUE OUT      writes OUT
//   frmmain_layout_gen DESC CATALOGUE          writes the layout to standard output
//
// Every value editor sits on an aligned grid: the name, then the value box and its up-down on
// one row, a horizontal bar on its row, vertical bars in a bank beside the rows. The frames
// stacked in one column (nested ones too) share the column of value boxes. Frames are as large as their content; frames of one column share its width. The tab
// strip has five tabs a row, the page buttons stand at the same place on every page. The
// generator refuses a description whose content does not fit its page or that does not give
// every code 0x01 to 0xFE exactly one editor.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/forms/main_layout.h"

namespace {

// ---- Geometry (twips) -------------------------------------------------------------------------
// The whole window, with the frame a window manager draws and the menu bar, fits the work area
// of a 1024 x 768 screen with a 40-pixel panel. The frames of the managers it is tried under are
// at most 5 pixels a side (icewm) and 38 pixels above (metacity's title bar, without borders);
// the Japanese font's menu bar is 21 pixels high. A pixel to spare each way.
constexpr long kWorkAreaWidth = 1024 * 15, kWorkAreaHeight = (768 - 40) * 15;
constexpr long kFrameAllowanceWidth = (5 + 5 + 2) * 15;
constexpr long kFrameAllowanceHeight = (38 + 21 + 2) * 15;
constexpr long kClientWidth = kWorkAreaWidth - kFrameAllowanceWidth;     // 1012 pixels
constexpr long kClientHeight = kWorkAreaHeight - kFrameAllowanceHeight;  // 667 pixels
constexpr long kTabTop = 0;
constexpr long kTabHeight = kClientHeight - 360;  // the status line below the pages
constexpr int kTabsPerRow = 5;
constexpr long kTabRows = 3;
constexpr long kTabRowHeight = 330;
constexpr long kPageTop = kTabRows * kTabRowHeight + 120;  // below three rows of tabs
constexpr long kPageLeft = 120;
constexpr long kButtonW = 1215, kButtonH = 375, kButtonGap = 120;
constexpr long kButtonTop = kTabHeight - kButtonH - 120;
constexpr long kPageBottom = kButtonTop - 90;
constexpr long kPageRight = kClientWidth - 120;

constexpr long kRow = 345;      // row pitch
constexpr long kBoxW = 600, kBoxH = 285, kUdW = 240;
constexpr long kLabelH = 255, kLabelDy = 15;  // a label on a row of boxes
constexpr long kGap = 90;       // between items of a row
constexpr long kBlockGap = 90;  // between blocks of a column
constexpr long kColumnGap = 150;
constexpr long kFramePadX = 120, kFrameTop = 345, kFramePadBottom = mainlayout::kFrameMarginBelow;
constexpr long kHBarW = 1500, kHBarH = 240, kHShapeW = 900, kHShapeH = 150;
constexpr long kVBarW = 255, kVShapeW = 120, kVBankMinH = 1380;
constexpr long kOptionH = 255, kOptionPitch = 285;

// The codes with scroll bars.
const std::set<int> kVCodes = {0x0A, 0x0B, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x40,
                               0x41, 0x44, 0x45, 0x4C, 0x4D, 0x68, 0x69, 0x73, 0x74, 0x75, 0x90,
                               0x92, 0xC0, 0xE0, 0xE1, 0xE2, 0xE4, 0xE5, 0xE6};
const std::set<int> kHCodes = {0x71, 0x72, 0x78, 0x79, 0x7A, 0x7B, 0x7C,
                               0x7D, 0x7E, 0x7F, 0x91, 0x93};
const std::set<int> kInfoCodes = {0xF0, 0xF1, 0xF2, 0xF3, 0xF6, 0xF7, 0xF8, 0xF9};

// How each bar runs: "forward" with the value, anything else reversed.
std::string barTag(int code, bool vertical) {
  if (vertical) {
    if (code == 0x30 || code == 0x34 || code == 0x92) return "forward";
    if (code == 0x90) return "forword";
    return "backword";
  }
  if (code == 0x93) return "forword";
  return "forward";
}

std::map<int, std::string> gNames;  // display names of the codes
const char* const kChromaNames[] = {"RED", "BLUE", "GREEN"};

// Estimated width of a text in the window font (twips): generous, so that the real font fits.
long textWidth(const std::string& s) {
  long w = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {  // a multi-byte character: count it once, as a full-width one
      if ((c & 0xC0) == 0xC0) w += 180;
      continue;
    }
    if (c == '&') continue;
    if (std::string(" il.,:;'|!()[]/-").find(static_cast<char>(c)) != std::string::npos) w += 65;
    else if (c >= 'A' && c <= 'Z') w += 135;
    else if (c == 'm' || c == 'w' || c == 'M' || c == 'W') w += 165;
    else w += 110;
  }
  return w;
}

std::string quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += "\"\"";
    else out += c;
  }
  return out + "\"";
}

std::string hex2(int c) {
  char b[8];
  std::snprintf(b, sizeof b, "%02X", c);
  return b;
}

[[noreturn]] void fail(int line, const std::string& what) {
  throw std::runtime_error("frmMain.desc line " + std::to_string(line) + ": " + what);
}

// ---- The description --------------------------------------------------------------------------
struct Node {
  int line = 0;
  int indent = 0;
  std::vector<std::string> words;  // the line split into words ("quoted" kept with quotes)
  std::vector<std::unique_ptr<Node>> children;
};

std::vector<std::string> splitWords(const std::string& text, int line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::string w;
    while (i < text.size() && text[i] != ' ') {
      if (text[i] == '"') {
        size_t j = i + 1;
        while (j < text.size() && text[j] != '"') ++j;
        if (j >= text.size()) fail(line, "unterminated text");
        w += text.substr(i, j - i + 1);
        i = j + 1;
      } else {
        w += text[i++];
      }
    }
    words.push_back(w);
  }
  return words;
}

std::unique_ptr<Node> parse(std::istream& in) {
  auto root = std::make_unique<Node>();
  root->indent = -1;
  std::vector<Node*> stack{root.get()};
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    size_t indent = text.find_first_not_of(' ');
    if (indent == std::string::npos || text[indent] == '#') continue;
    auto n = std::make_unique<Node>();
    n->line = line;
    n->indent = static_cast<int>(indent);
    n->words = splitWords(text.substr(indent), line);
    while (stack.back()->indent >= n->indent) stack.pop_back();
    Node* raw = n.get();
    stack.back()->children.push_back(std::move(n));
    stack.push_back(raw);
  }
  return root;
}

std::string unquote(const std::string& w, int line) {
  if (w.size() < 2 || w.front() != '"' || w.back() != '"') fail(line, "expected \"text\": " + w);
  return w.substr(1, w.size() - 2);
}

long number(const std::string& w, int line) {
  char* end = nullptr;
  long v = std::strtol(w.c_str(), &end, 10);
  if (w.empty() || *end) fail(line, "expected a number: " + w);
  return v;
}

int hexCode(const std::string& w, int line) {
  char* end = nullptr;
  long v = std::strtol(w.c_str(), &end, 16);
  if (w.size() != 2 || *end || v < 1 || v > 254) fail(line, "expected a code 01 to FE: " + w);
  return static_cast<int>(v);
}

// ---- Output ---------------------------------------------------------------------------------
struct Place {
  std::string container;  // "" = the form
  int tab = -1;           // the SSTab page
  std::string in() const {
    std::string s;
    if (!container.empty()) s += " in=" + container;
    if (tab >= 0) s += " tab=" + std::to_string(tab);
    return s;
  }
};

class Emitter {
 public:
  bool dry = false;
  void line(const std::string& s) {
    if (!dry) out_ << s << "\n";
  }
  void control(const std::string& kind, const std::string& name, const Place& at, long x, long y,
               long w, long h, const std::string& rest = "") {
    std::ostringstream s;
    s << kind << " " << name << at.in() << " Left=" << x << " Top=" << y << " Width=" << w
      << " Height=" << h << rest;
    if (kind == "PictureBox") s << " TabStop=False";  // a picture takes no keys
    if (!dry && kind != "Shape" && kind != "Line") {
      s << " TabIndex=@" << name << "@";  // filled in by order(), once every page is known
      placed_.push_back({name, kind, at.container, page});
    }
    line(s.str());
    if (!dry) {
      if (name.rfind("txtData(", 0) == 0 || name.rfind("udData(", 0) == 0 ||
          name.rfind("lblData(", 0) == 0)
        codesSeen_[name.substr(0, name.find('('))].push_back(
            std::atoi(name.c_str() + name.find('(') + 1));
    }
  }
  std::string decoName() { return "lblText(" + std::to_string(deco_++) + ")"; }
  std::string lineName() { return "linDeco(" + std::to_string(lines_++) + ")"; }
  // The page the controls being written stand on (-1: on the form itself).
  int page = -1;
  struct Placed {
    std::string name, kind, container;
    int page;
  };
  // Every control of the tab order, in output order.
  const std::vector<Placed>& placed() const { return placed_; }
  // The text with the tab order given: `rank` maps a name to its place in the order.
  std::string text(const std::map<std::string, int>& rank) const {
    std::string t = out_.str(), done;
    size_t at = 0;
    for (size_t mark; (mark = t.find(" TabIndex=@", at)) != std::string::npos;) {
      const size_t end = t.find('@', mark + 11);
      const std::string name = t.substr(mark + 11, end - mark - 11);
      done += t.substr(at, mark - at) + " TabIndex=" + std::to_string(rank.at(name));
      at = end + 1;
    }
    return done + t.substr(at);
  }
  std::string text() const { return out_.str(); }
  const std::map<std::string, std::vector<int>>& codesSeen() const { return codesSeen_; }
  // Names are allotted in output order; a dry pass must not use them up.
  struct Counters {
    int deco, lines;
  };
  Counters counters() const { return {deco_, lines_}; }
  void restore(Counters c) {
    deco_ = c.deco;
    lines_ = c.lines;
  }

 private:
  std::ostringstream out_;
  std::vector<Placed> placed_;
  int deco_ = 0, lines_ = 0;
  std::map<std::string, std::vector<int>> codesSeen_;
};

struct Size {
  long w = 0, h = 0;
};

// One row of a code grid.
struct CodeRow {
  int code;
  std::vector<std::string> suffix;  // unit label ("text") or lbl:NAME:"text"
};

std::vector<CodeRow> parseRows(const Node& n, bool& bars) {
  std::vector<CodeRow> rows;
  bars = false;
  for (size_t i = 1; i < n.words.size(); ++i) {
    const std::string& w = n.words[i];
    if (w == "bars") {
      bars = true;
    } else if (w.front() == '"' || w.rfind("lbl:", 0) == 0) {
      if (rows.empty()) fail(n.line, "a unit before any code");
      rows.back().suffix.push_back(w);
    } else if (w.size() == 5 && w[2] == '-') {
      int a = hexCode(w.substr(0, 2), n.line), b = hexCode(w.substr(3), n.line);
      if (b < a) fail(n.line, "empty range " + w);
      for (int c = a; c <= b; ++c) rows.push_back({c, {}});
    } else {
      rows.push_back({hexCode(w, n.line), {}});
    }
  }
  if (rows.empty()) fail(n.line, "rows without codes");
  return rows;
}

// "lbl:NAME(i):"text"" -> name and text.
std::pair<std::string, std::string> splitNamed(const std::string& w, int line) {
  size_t a = w.find(':');
  size_t b = w.find(':', a + 1);
  if (a == std::string::npos || b == std::string::npos) fail(line, "expected kind:name:\"text\": " + w);
  return {w.substr(a + 1, b - a - 1), unquote(w.substr(b + 1), line)};
}

class Generator {
 public:
  Emitter em;

  std::string run(const Node& root) {
    header();
    for (const auto& page : root.children) {
      const auto& w = page->words;
      if (w.size() < 3 || w.size() > 4 || w[0] != "page" || (w.size() == 4 && w[3].rfind("first=", 0) != 0))
        fail(page->line, "expected page N \"caption\" [first=NAME]");
      int tab = static_cast<int>(number(w[1], page->line));
      if (tab != static_cast<int>(pages_.size())) fail(page->line, "pages out of order");
      pages_.push_back(unquote(w[2], page->line));
      firsts_.push_back({w.size() == 4 ? w[3].substr(6) : "", page->line});
    }
    // The tab control and its pages.
    {
      std::ostringstream s;
      s << "SSTab SSTab1 Left=0 Top=" << kTabTop << " Width=" << kClientWidth
        << " Height=" << kTabHeight << " Tabs=" << pages_.size() << " TabsPerRow=" << kTabsPerRow;
      for (size_t i = 0; i < pages_.size(); ++i) s << " TabCaption(" << i << ")=" << quote(pages_[i]);
      // The tab strip hands the focus on to its page (a click, Ctrl+Tab): no tab stop of its
      // own, so that Shift+Tab from a page's first editor goes round to the page's last button.
      s << " Tab=0 OLEDropMode=1 TabStop=False TabIndex=0";
      em.line(s.str());
    }
    for (const auto& page : root.children) pageContent(*page);
    footer();
    checkCodes();
    return em.text(tabOrder());
  }

 private:
  std::vector<std::string> pages_;
  std::vector<std::pair<std::string, int>> firsts_;  // per page: the control that comes first, its line

  // The tab order: the tab strip, then page by page the controls as the page reads (frame by
  // frame, top to bottom and left to right, the page buttons last), each page starting at the
  // control named by first= (with its group of option buttons); the status line at the end.
  std::map<std::string, int> tabOrder() const {
    std::map<std::string, int> rank;
    int next = 1;
    std::vector<int> pages;
    for (int page = 0; page < static_cast<int>(pages_.size()); ++page) pages.push_back(page);
    pages.push_back(-1);
    for (int page : pages) {
      std::vector<Emitter::Placed> list;
      for (const Emitter::Placed& p : em.placed())
        if (p.page == page) list.push_back(p);
      if (page >= 0 && !firsts_[page].first.empty()) {
        const std::string& first = firsts_[page].first;
        auto it = std::find_if(list.begin(), list.end(), [&](const Emitter::Placed& p) { return p.name == first; });
        if (it == list.end()) fail(firsts_[page].second, first + " is not on page " + std::to_string(page));
        const Emitter::Placed lead = *it;
        auto together = [&](const Emitter::Placed& p) {
          return p.name == lead.name || (lead.kind == "OptionButton" && p.kind == "OptionButton" && p.container == lead.container);
        };
        std::stable_partition(list.begin(), list.end(), together);
      }
      for (const Emitter::Placed& p : list) rank[p.name] = next++;
    }
    return rank;
  }

  void header() {
    em.line("# The main window. Generated from frmMain.desc by frmmain_layout_gen: edit the");
    em.line("# description, then run scripts/gen_main_layout.sh.");
    std::ostringstream s;
    s << "Form frmMain Caption=\"Main\" ClientWidth=" << kClientWidth << " ClientHeight=" << kClientHeight
      << " BorderStyle=1 MaxButton=False StartUpPosition=2 FontName=\"MS UI Gothic\" FontSize=9"
      << " KeyPreview=False OLEDropMode=1";
    em.line(s.str());
    menus();
    em.line("CommonDialog cdFileOpen");
  }

  void menus() {
    const char* lines[] = {
        "Menu mnuTitleFile Caption=\"File(&F)\" HelpContextID=500",
        "Menu mnuFile(1) in=mnuTitleFile Caption=\"Open(&O)...\" HelpContextID=502",
        "Menu mnuFile(2) in=mnuTitleFile Caption=\"Save(&S)...\" HelpContextID=503",
        "Menu mnuRecently in=mnuTitleFile Caption=\"Recently Used Files(&R)\" HelpContextID=502",
        "Menu mnuRecentlyFileName(0) in=mnuRecently Caption=\"Recently Used File Name 00\" HelpContextID=502",
        "Menu mnuRecentlyFileName(1) in=mnuRecently Caption=\"Recently Used File Name 01\" HelpContextID=502",
        "Menu mnuRecentlyFileName(2) in=mnuRecently Caption=\"Recently Used File Name 02\" HelpContextID=502",
        "Menu mnuRecentlyFileName(3) in=mnuRecently Caption=\"Recently Used File Name 03\" HelpContextID=502",
        "Menu mnuRecentlyFileName(4) in=mnuRecently Caption=\"Recently Used File Name 04\" HelpContextID=502",
        "Menu mnuLine in=mnuRecently Caption=\"-\"",
        "Menu mnuRecentlyFilesClear in=mnuRecently Caption=\"Clear Recently Used File Name\" HelpContextID=502",
        "Menu mnuEnd in=mnuTitleFile Caption=\"End(&E)\" HelpContextID=208",
        "Menu mnuTitleView Caption=\"View(&V)\"",
        "Menu mnuViewAllData in=mnuTitleView Caption=\"View All Data(&A)...\"",
        "Menu mnuTitleComm Caption=\"Comm(&C)\" HelpContextID=300",
        "Menu mnuEEPROM(1) in=mnuTitleComm Caption=\"Read All Data from EEPROM(&R)\" HelpContextID=401",
        "Menu mnuEEPROM(2) in=mnuTitleComm Caption=\"Write KRV File Data to EEPROM(&W)\" HelpContextID=402",
        "Menu mnuEEPROM(3) in=mnuTitleComm Caption=\"Clear All Data of EEPROM(&C)\" HelpContextID=403",
        "Menu mnuEEPROM(4) in=mnuTitleComm Caption=\"Optimize EEPROM(&O)\" HelpContextID=404",
        "Menu mnuReboot in=mnuTitleComm Caption=\"Reboot(&B)\" HelpContextID=205",
        "Menu mnuPortChange in=mnuTitleComm Caption=\"PortChange(&P)...\" HelpContextID=207",
        "Menu mnuLine2 in=mnuTitleComm Caption=\"-\"",
        "Menu mnuBatch in=mnuTitleComm Caption=\"Batch(&B)...\"",
        "Menu mnuConnectionOption in=mnuTitleComm Caption=\"Option(&O)...\" HelpContextID=601",
        "Menu mnuTitleHelp Caption=\"Help(&H)\"",
        "Menu mnuHelp in=mnuTitleHelp Caption=\"Help(&H)...\"",
        "Menu mnuVersion in=mnuTitleHelp Caption=\"Version Information(&V)...\" HelpContextID=206",
        "Menu mnuAdvancedOperation in=mnuTitleHelp Caption=\"Advanced Operation(&A)...\"",
    };
    for (const char* l : lines) em.line(l);
  }

  void footer() {
    const long top = kTabTop + kTabHeight + 60;
    em.page = -1;
    em.control("Label", "lblOnLine", Place{}, 120, top, 6000, 255, " Caption=\"On Line\"");
    em.control("Label", "lblFirmWareVersion", Place{}, kClientWidth - 120 - 3000, top, 3000, 255,
               " Alignment=1 Caption=\"FirmWare Ver.XX\"");
  }

  void checkCodes() {
    for (const char* arr : {"txtData", "udData", "lblData"}) {
      auto it = em.codesSeen().find(arr);
      std::vector<int> seen = it == em.codesSeen().end() ? std::vector<int>{} : it->second;
      std::sort(seen.begin(), seen.end());
      std::vector<int> want;
      for (int c = 1; c <= 254; ++c) want.push_back(c);
      if (seen != want) {
        std::string what;
        std::map<int, int> count;
        for (int c : seen) ++count[c];
        for (int c : want)
          if (count[c] != 1) what += " " + hex2(c) + "(" + std::to_string(count[c]) + ")";
        throw std::runtime_error(std::string("frmMain.desc: ") + arr +
                                 " must have one editor for every code 01 to FE:" + what);
      }
    }
  }

  void pageContent(const Node& page) {
    const int tab = static_cast<int>(number(page.words[1], page.line));
    Place at{"SSTab1", tab};
    em.page = tab;
    std::vector<const Node*> content;
    const Node* buttons = nullptr;
    for (const auto& c : page.children) {
      if (c->words[0] == "buttons") buttons = c.get();
      else content.push_back(c.get());
    }
    Size s = columns(content, at, kPageLeft, kPageTop);
    if (kPageLeft + s.w > kPageRight || kPageTop + s.h > kPageBottom)
      fail(page.line, "page " + std::to_string(tab) + " content is " + std::to_string(s.w) + " x " +
                          std::to_string(s.h) + ", more than the page holds");
    if (buttons) {
      bool write = !(buttons->words.size() > 1 && buttons->words[1] == "nowrite");
      long x = kPageRight - 3 * kButtonW - 2 * kButtonGap;
      const std::string t = "(" + std::to_string(tab) + ")";
      const std::string rest = " HelpContextID=0";
      if (write) em.control("CommandButton", "cmdWriteEEPROM" + t, at, x, kButtonTop, kButtonW, kButtonH, " Caption=\"Write(&W)\"");
      x += kButtonW + kButtonGap;
      em.control("CommandButton", "cmdReboot" + t, at, x, kButtonTop, kButtonW, kButtonH, " Caption=\"Reboot(&R)\"");
      x += kButtonW + kButtonGap;
      em.control("CommandButton", "cmdEnd" + t, at, x, kButtonTop, kButtonW, kButtonH, " Caption=\"End(&E)\"");
      (void)rest;
    }
  }

  // The blocks split into columns: "column" either separates the blocks around it or holds its
  // blocks (indented below it). Empty columns are dropped.
  static std::vector<std::vector<const Node*>> splitColumns(const std::vector<const Node*>& nodes) {
    std::vector<std::vector<const Node*>> cols(1);
    for (const Node* n : nodes) {
      if (n->words[0] != "column") {
        cols.back().push_back(n);
        continue;
      }
      cols.emplace_back();
      if (n->children.empty()) continue;
      for (const auto& c : n->children) cols.back().push_back(c.get());
      cols.emplace_back();
    }
    cols.erase(std::remove_if(cols.begin(), cols.end(), [](const auto& c) { return c.empty(); }), cols.end());
    return cols;
  }

  static std::vector<const Node*> kidsOf(const Node& n) {
    std::vector<const Node*> kids;
    for (const auto& c : n.children) kids.push_back(c.get());
    return kids;
  }

  static bool borderless(const Node& frame) {
    return std::find(frame.words.begin(), frame.words.end(), "border=0") != frame.words.end();
  }

  // Lays out groups of blocks side by side from (x, y); returns the size. The first column
  // puts its value boxes no further left than `lw` from x (the grid of the column around it).
  Size columns(const std::vector<const Node*>& nodes, const Place& at, long x, long y, long lw = 0) {
    Size total;
    long cx = x;
    for (const auto& col : splitColumns(nodes)) {
      if (cx > x) cx += kColumnGap;
      Size s = column(col, at, cx, y, cx == x ? lw : 0);
      cx += s.w;
      total.h = std::max(total.h, s.h);
    }
    total.w = cx - x;
    return total;
  }

  // The label column of a grid: the widest name among the rows and fields of the column and
  // of the first columns of the frames stacked in it, so that the value boxes of all of them
  // line up.
  long labelWidth(const std::vector<const Node*>& col) {
    long w = 0;
    for (const Node* n : col) {
      const std::string& k = n->words[0];
      if (k == "rows") {
        bool bars;
        for (const CodeRow& r : parseRows(*n, bars)) w = std::max(w, textWidth(gNames[r.code]));
      } else if (k == "field") {
        w = std::max(w, textWidth(unquote(n->words[1], n->line)));
      } else if (k == "row" && rowLeadsWithName(*n)) {
        w = std::max(w, textWidth(unquote(n->words[1], n->line)));
      } else if (k == "chroma") {
        for (const char* t : kChromaNames) w = std::max(w, textWidth(t) + 120);
      } else if (k == "frame") {
        const auto cols = splitColumns(kidsOf(*n));
        if (!cols.empty()) w = std::max(w, labelWidth(cols.front()) + (borderless(*n) ? 0 : kFramePadX));
      }
    }
    return w;
  }

  // A row that starts with a name and then a value box: the box stands on the grid.
  static bool rowLeadsWithName(const Node& n) {
    return n.words.size() > 2 && n.words[1].front() == '"' && n.words[2].rfind("txt:", 0) == 0;
  }

  Size column(const std::vector<const Node*>& col, const Place& at, long x, long y, long outerLw = 0) {
    // Two passes: measure every block, then lay them out with frames stretched to the
    // column's width.
    const long lw = std::max(labelWidth(col), outerLw);
    long width = 0;
    {
      const bool was = em.dry;
      const auto counters = em.counters();
      em.dry = true;
      for (const Node* n : col) width = std::max(width, block(*n, at, x, y, lw, 0).w);
      em.dry = was;
      em.restore(counters);
    }
    long cy = y, lastTop = y, lastH = 0;
    for (const Node* n : col) {
      bool overlay = false;
      for (const auto& w : n->words)
        if (w == "at=prev") overlay = true;
      if (overlay) {
        Size s = block(*n, at, x, lastTop, lw, width);
        lastH = std::max(lastH, s.h);
        cy = lastTop + lastH + kBlockGap;
        continue;
      }
      if (cy > y) cy += 0;
      Size s = block(*n, at, x, cy, lw, width);
      lastTop = cy;
      lastH = s.h;
      cy += s.h + kBlockGap;
    }
    return {width, cy - kBlockGap - y};
  }

  // One block at (x, y); `stretch` is the width a frame takes (0 = its own).
  Size block(const Node& n, const Place& at, long x, long y, long lw, long stretch) {
    const std::string& k = n.words[0];
    if (k == "frame") return frame(n, at, x, y, stretch, lw);
    if (k == "rows") return rows(n, at, x, y, lw);
    if (k == "field") return field(n, at, x, y, lw);
    if (k == "row") return row(n, at, x, y, lw);
    if (k == "options") return options(n, at, x, y);
    if (k == "checks") return checks(n, at, x, y);
    if (k == "chroma") return chroma(at, x, y, lw);
    if (k == "plane") return plane(n, at, x, y);
    if (k == "gamma") return gamma(n, at, x, y);
    if (k == "draw") return draw(n, at, x, y);
    if (k == "label") return label(n, at, x, y);
    fail(n.line, "unknown block " + k);
  }

  // `lw`: the label column of the column the frame stands in; its own first column keeps to it.
  Size frame(const Node& n, const Place& at, long x, long y, long stretch, long lw) {
    if (n.words.size() < 3) fail(n.line, "expected frame NAME \"caption\"");
    const std::string name = n.words[1];
    const std::string caption = unquote(n.words[2], n.line);
    bool border = true;
    std::string extra;
    for (size_t i = 3; i < n.words.size(); ++i) {
      const std::string& w = n.words[i];
      if (w == "border=0") border = false;
      else if (w.rfind("help=", 0) == 0) extra += " HelpContextID=" + w.substr(5);
      else if (w == "at=prev") continue;
      else fail(n.line, "unknown frame option " + w);
    }
    const long padX = border ? kFramePadX : 0, padTop = border ? kFrameTop : 0,
               padBottom = border ? kFramePadBottom : 0;
    const std::vector<const Node*> kids = kidsOf(n);
    // Measure the content first: the frame line comes before its controls.
    Size inner;
    {
      const bool was = em.dry;
      const auto counters = em.counters();
      em.dry = true;
      inner = columns(kids, Place{name, -1}, padX, padTop, lw - padX);
      em.dry = was;
      em.restore(counters);
    }
    Size s{std::max({inner.w + 2 * padX, textWidth(caption) + 480, stretch}), inner.h + padTop + padBottom};
    std::string props = " Caption=" + quote(caption) + extra;
    if (!border) props += " BorderStyle=0";
    em.control("Frame", name, at, x, y, s.w, s.h, props);
    columns(kids, Place{name, -1}, padX, padTop, lw - padX);
    return s;
  }

  void codeRow(const CodeRow& r, const Place& at, long x, long y, long lw, long& right) {
    const int c = r.code;
    const std::string i = "(" + std::to_string(c) + ")";
    em.control("Label", "lblData" + i, at, x, y + kLabelDy, std::max(textWidth(gNames[c]), 120L), kLabelH,
               " AutoSize=True Caption=" + quote(gNames[c]));
    long bx = x + lw + kGap;
    em.control("TextBox", "txtData" + i, at, bx, y, kBoxW, kBoxH, " Text=\"0\" Alignment=1");
    em.control("UpDown", "udData" + i, at, bx + kBoxW, y, kUdW, kBoxH, " Min=0 Max=255");
    long rx = bx + kBoxW + kUdW;
    if (kHCodes.count(c) && c != 0x91 && c != 0x93) {  // the planes' bars lie beside the planes
      rx += kGap;
      em.control("HScrollBar", "hsData" + i, at, rx, y + 22, kHBarW, kHBarH,
                 " Max=255 Tag=" + quote(barTag(c, false)));
      rx += kHBarW + kGap;
      em.control("Shape", "shpBackData" + i, at, rx, y + 68, kHShapeW, kHShapeH,
                 " FillStyle=0 FillColor=&HFFFFFF& BorderColor=&H808080&");
      em.control("Shape", "shpFrontData" + i, at, rx, y + 68, kHShapeW / 2, kHShapeH,
                 " FillStyle=0 FillColor=&HC08000& BorderColor=&H808080&");
      rx += kHShapeW;
    }
    if (kInfoCodes.count(c)) {
      rx += kGap;
      em.control("Label", "lblInfo" + i, at, rx, y + kLabelDy, 840, kLabelH, " Caption=\"00.000\" Alignment=1");
      rx += 840;
    }
    for (const std::string& w : r.suffix) {
      rx += kGap;
      if (w.front() == '"') {
        std::string t = unquote(w, 0);
        em.control("Label", em.decoName(), at, rx, y + kLabelDy, textWidth(t), kLabelH, " AutoSize=True Caption=" + quote(t));
        rx += textWidth(t);
      } else {
        auto [name, t] = splitNamed(w, 0);
        em.control("Label", name, at, rx, y + kLabelDy, std::max(textWidth(t) + 120, 900L), kLabelH, " Caption=" + quote(t));
        rx += std::max(textWidth(t) + 120, 900L);
      }
    }
    right = std::max(right, rx - x);
  }

  // A bank of vertical bars at (x, y) with the given height. The front shape hangs from the
  // back shape's top and is as long as the scroll bar's position. Where the position runs
  // reversed (top = maximum) it is the empty part above the value: the front shape is white
  // and the back shape carries the bar's colour, so that the bar grows upwards with the value.
  long vbank(const std::vector<std::pair<std::string, std::string>>& bars, const Place& at, long x, long y,
             long h, const std::string& scrollArray, const std::string& backArray, const std::string& frontArray,
             const std::vector<std::string>& tags, const std::vector<std::string>& frontTags,
             const std::vector<bool>& growsUp, long max, long min) {
    const std::string kEmpty = "&HFFFFFF&", kBar = "&HC08000&";
    long bx = x;
    for (size_t k = 0; k < bars.size(); ++k) {
      const std::string& i = bars[k].first;
      em.control("Shape", backArray + i, at, bx, y, kVShapeW, h,
                 " FillStyle=0 FillColor=" + (growsUp[k] ? kBar : kEmpty) + " BorderColor=&H808080&");
      std::string ft = frontTags[k].empty() ? "" : " Tag=" + quote(frontTags[k]);
      em.control("Shape", frontArray + i, at, bx, y, kVShapeW, h / 2,
                 " FillStyle=0 FillColor=" + (growsUp[k] ? kEmpty : kBar) + " BorderColor=&H808080&" + ft);
      em.control("VScrollBar", scrollArray + i, at, bx + kVShapeW + 30, y, kVBarW, h,
                 " Min=" + std::to_string(min) + " Max=" + std::to_string(max) + " Tag=" + quote(tags[k]));
      bx += kVShapeW + 30 + kVBarW + 150;
    }
    return bx - 150 - x;
  }

  Size rows(const Node& n, const Place& at, long x, long y, long lw) {
    bool bars;
    std::vector<CodeRow> rs = parseRows(n, bars);
    long right = 0;
    long cy = y;
    for (const CodeRow& r : rs) {
      codeRow(r, at, x, cy, lw, right);
      cy += kRow;
    }
    long h = cy - y - (kRow - kBoxH);
    if (bars) {
      std::vector<std::pair<std::string, std::string>> list;
      std::vector<std::string> tags, ftags;
      std::vector<bool> growsUp;
      for (const CodeRow& r : rs) {
        if (!kVCodes.count(r.code)) continue;
        list.push_back({"(" + std::to_string(r.code) + ")", ""});
        tags.push_back(barTag(r.code, true));
        ftags.push_back(r.code == 0x35 || r.code == 0x36 || r.code == 0x37 ? "forward" : "");
        growsUp.push_back(tags.back() != "forward");
      }
      const long bh = std::max(h, kVBankMinH);
      right += 240;
      right += vbank(list, at, x + right, y, bh, "vsData", "shpBackData", "shpFrontData", tags, ftags, growsUp, 255, 0);
      h = bh;
    }
    return {right, h};
  }

  Size field(const Node& n, const Place& at, long x, long y, long lw) {
    if (n.words.size() != 6) fail(n.line, "expected field \"caption\" TEXTBOX UPDOWN MIN MAX");
    const std::string t = unquote(n.words[1], n.line);
    em.control("Label", em.decoName(), at, x, y + kLabelDy, textWidth(t), kLabelH, " AutoSize=True Caption=" + quote(t));
    long bx = x + lw + kGap;
    em.control("TextBox", n.words[2], at, bx, y, kBoxW, kBoxH, " Text=\"0\" Alignment=1");
    em.control("UpDown", n.words[3], at, bx + kBoxW, y, kUdW, kBoxH,
               " Min=" + std::to_string(number(n.words[4], n.line)) + " Max=" + std::to_string(number(n.words[5], n.line)) +
                   " BuddyControl=" + n.words[2] + " SyncBuddy=True");
    return {lw + kGap + kBoxW + kUdW, kBoxH};
  }

  Size row(const Node& n, const Place& at, long x, long y, long lw) {
    long cx = x, h = kBoxH;
    struct Item {
      std::string kind, name, rest;
      long w, h, dy;
    };
    std::vector<Item> items;
    for (size_t i = 1; i < n.words.size(); ++i) {
      const std::string& w = n.words[i];
      auto nextNumber = [&](long def) {
        if (i + 1 < n.words.size() && std::isdigit(static_cast<unsigned char>(n.words[i + 1][0])))
          return number(n.words[++i], n.line);
        return def;
      };
      if (w.front() == '"') {
        std::string t = unquote(w, n.line);
        items.push_back({"Label", em.decoName(), " AutoSize=True Caption=" + quote(t), textWidth(t), kLabelH, 45});
      } else if (w.rfind("txt:", 0) == 0) {
        long tw = nextNumber(kBoxW);
        items.push_back({"TextBox", w.substr(4), " Text=\"\"", tw, kBoxH, 0});
        if (w.find("txtHL") != std::string::npos) items.back().rest = " Text=\"0\" Alignment=1";
      } else if (w.rfind("ud:", 0) == 0) {
        long mn = number(n.words.at(i + 1), n.line), mx = number(n.words.at(i + 2), n.line);
        i += 2;
        items.push_back({"UpDown", w.substr(3), " Min=" + std::to_string(mn) + " Max=" + std::to_string(mx), kUdW, kBoxH, 0});
        cx -= kGap;  // the up-down sits against its box
        items.back().dy = -1;
      } else if (w.rfind("lbl:", 0) == 0) {
        auto [name, t] = splitNamed(w, n.line);
        long lw = nextNumber(std::max(textWidth(t), 240L));
        long lh = nextNumber(kLabelH);
        items.push_back({"Label", name, " Caption=" + quote(t), lw, lh, lh > kLabelH ? 0 : kLabelDy});
      } else if (w.rfind("btn:", 0) == 0) {
        auto [name, t] = splitNamed(w, n.line);
        long bw = nextNumber(textWidth(t) + 360);
        items.push_back({"CommandButton", name, " Caption=" + quote(t), bw, kButtonH, 0});
      } else if (w.rfind("chk:", 0) == 0) {
        auto [name, t] = splitNamed(w, n.line);
        items.push_back({"CheckBox", name, " Caption=" + quote(t), textWidth(t) + 360, kOptionH, 0});
      } else if (w.rfind("cmb:", 0) == 0) {
        long cw = nextNumber(2400);
        items.push_back({"ComboBox", w.substr(4), " Style=2", cw, 315, 0});
      } else if (w.rfind("pic:", 0) == 0) {
        long pw = number(n.words.at(i + 1), n.line), ph = number(n.words.at(i + 2), n.line);
        i += 2;
        items.push_back({"PictureBox", w.substr(4), " BackColor=&HFFFFFF& ForeColor=&H0& ScaleMode=3 AutoRedraw=True", pw, ph, 0});
      } else if (w.find('=') != std::string::npos && !items.empty()) {
        items.back().rest += " " + w;
      } else {
        fail(n.line, "unknown row item " + w);
      }
    }
    cx = x;
    const bool grid = rowLeadsWithName(n);
    for (size_t k = 0; k < items.size(); ++k) {
      Item& it = items[k];
      if (k == 1 && grid) cx = x + lw;  // the first box on the grid
      if (k > 0 && it.kind != "UpDown") cx += kGap;
      em.control(it.kind, it.name, at, cx, y + std::max(0L, it.dy), it.w, it.h, it.rest);
      cx += it.w;
      h = std::max(h, it.h + std::max(0L, it.dy));
    }
    return {cx - x, h};
  }

  Size options(const Node& n, const Place& at, long x, long y) {
    int cols = 1;
    for (size_t i = 1; i < n.words.size(); ++i)
      if (n.words[i].rfind("cols=", 0) == 0) cols = static_cast<int>(number(n.words[i].substr(5), n.line));
    long colW = 0;
    for (const auto& c : n.children) colW = std::max(colW, textWidth(unquote(c->words.at(1), c->line)) + 480);
    const long perCol = (static_cast<long>(n.children.size()) + cols - 1) / cols;
    long k = 0;
    for (const auto& c : n.children) {
      if (c->words.size() < 3) fail(c->line, "expected INDEX \"caption\" TAG [on]");
      const long col = k / perCol, rowNo = k % perCol;
      std::string rest = " Caption=" + quote(unquote(c->words[1], c->line)) + " Tag=" + quote(c->words[2]);
      if (c->words.size() > 3 && c->words[3] == "on") rest += " Value=True";
      em.control("OptionButton", "optDIPSwitch(" + c->words[0] + ")", at, x + col * colW, y + rowNo * kOptionPitch,
                 colW - 60, kOptionH, rest);
      ++k;
    }
    return {cols * colW - 60, perCol * kOptionPitch - (kOptionPitch - kOptionH)};
  }

  Size checks(const Node& n, const Place& at, long x, long y) {
    if (n.words.size() < 2) fail(n.line, "expected checks ARRAY");
    const std::string arr = n.words[1];
    long w = 0;
    long cy = y;
    for (const auto& c : n.children) {
      const std::string t = unquote(c->words.at(1), c->line);
      const long cw = textWidth(t) + 480;
      em.control("CheckBox", arr + "(" + c->words[0] + ")", at, x, cy, cw, kOptionH, " Caption=" + quote(t));
      w = std::max(w, cw);
      cy += kOptionPitch;
    }
    return {w, cy - y - (kOptionPitch - kOptionH)};
  }

  Size chroma(const Place& at, long x, long y, long lw) {
    const char* const* names = kChromaNames;
    for (int i = 0; i < 3; ++i) lw = std::max(lw, textWidth(names[i]) + 120);
    long cy = y;
    for (int i = 1; i <= 3; ++i) {
      const std::string idx = "(" + std::to_string(i) + ")";
      em.control("Label", "lblChromaSetup(" + std::to_string(i - 1) + ")", at, x, cy + kLabelDy, lw, kLabelH,
                 " Caption=" + quote(names[i - 1]));
      em.control("TextBox", "txtChromaSetup" + idx, at, x + lw + kGap, cy, kBoxW, kBoxH, " Text=\"0\" Alignment=1");
      em.control("UpDown", "udChromaSetup" + idx, at, x + lw + kGap + kBoxW, cy, kUdW, kBoxH, " Min=-512 Max=511");
      cy += kRow;
    }
    const long right = lw + kGap + kBoxW + kUdW + 240;
    std::vector<std::pair<std::string, std::string>> bars = {{"(1)", ""}, {"(2)", ""}, {"(3)", ""}};
    // Tagged "forward", but the editors put them at -1 - value: they run reversed.
    long bw = vbank(bars, at, x + right, y, kVBankMinH, "vsChromaSetup", "shpBackChromaSetup", "shpFrontChromaSetup",
                    {"forward", "forward", "forward"}, {"", "", ""}, {true, true, true}, 511, -512);
    return {right + bw, kVBankMinH};
  }

  Size plane(const Node& n, const Place& at, long x, long y) {
    const int i = static_cast<int>(number(n.words.at(1), n.line));
    const int vcode = i == 0 ? 0x90 : 0x92, hcode = i == 0 ? 0x91 : 0x93;
    const long side = 1500;
    const std::string title = i == 0 ? "[Positive]" : "[Negative]";
    em.control("Label", i == 0 ? "lblPositive" : "lblNegative", at, x, y, textWidth(title), kLabelH,
               " AutoSize=True Caption=" + quote(title));
    const long py = y + kLabelH + 30;
    em.control("PictureBox", "pctAWBCenter(" + std::to_string(i) + ")", at, x, py, side, side,
               " BackColor=&HFFFFFF& ScaleMode=3 AutoRedraw=True");
    // The vertical bar of the R-B code right of the plane, the horizontal bar of the Mg-G
    // code below it, each with its bar graph.
    const std::string vi = "(" + std::to_string(vcode) + ")", hi = "(" + std::to_string(hcode) + ")";
    long vx = x + side + 90;
    em.control("VScrollBar", "vsData" + vi, at, vx, py, kVBarW, side, " Max=63 Tag=" + quote(barTag(vcode, true)));
    em.control("Shape", "shpBackData" + vi, at, vx + kVBarW + 30, py, kVShapeW, side,
               " FillStyle=0 FillColor=&HFFFFFF& BorderColor=&H808080&");
    em.control("Shape", "shpFrontData" + vi, at, vx + kVBarW + 30, py, kVShapeW, side / 2,
               " FillStyle=0 FillColor=&HFF0000& BorderColor=&H808080&");
    long hy = py + side + 60;
    em.control("HScrollBar", "hsData" + hi, at, x, hy, side, kHBarH, " Max=63 Tag=" + quote(barTag(hcode, false)));
    em.control("Shape", "shpBackData" + hi, at, x, hy + kHBarH + 30, side, kVShapeW,
               " FillStyle=0 FillColor=&HFFFFFF& BorderColor=&H808080&");
    em.control("Shape", "shpFrontData" + hi, at, x, hy + kHBarH + 30, side / 2, kVShapeW,
               " FillStyle=0 FillColor=&HFF00FF& BorderColor=&H808080&");
    long ly = hy + kHBarH + 30 + kVShapeW + 60;
    em.control("Label", "lblAWBCenter(" + std::to_string(i) + ")", at, x, ly, side, kLabelH,
               " Caption=\"(0,0)\" Alignment=2");
    return {side + 90 + kVBarW + 30 + kVShapeW, ly + kLabelH - y};
  }

  Size gamma(const Node& n, const Place& at, long x, long y) {
    const long side = 1500;
    long cx = x;
    for (size_t k = 1; k < n.words.size(); ++k) {
      const int c = hexCode(n.words[k], n.line);
      const std::string i = "(" + std::to_string(c) + ")";
      if (k > 1) cx += 240;
      em.control("Label", em.decoName(), at, cx, y, 480, kLabelH, " Caption=\"Out\"");
      em.control("PictureBox", "pctData" + i, at, cx, y + kLabelH + 30, side, side,
                 " BackColor=&HFFFFFF& ForeColor=&H0& ScaleMode=3 AutoRedraw=True");
      em.control("Label", em.decoName(), at, cx + side - 360, y + kLabelH + 30 + side + 15, 360, kLabelH, " Caption=\"In\" Alignment=1");
      // The gamma value ("Gamma=0.45") on a line of its own under the axis label.
      em.control("Label", "lblCurGamma" + i, at, cx, y + kLabelH + 30 + side + 15 + kLabelH, side, kLabelH,
                 " Caption=\"g=0.00\"");
      cx += side;
    }
    return {cx - x, kLabelH + 30 + side + 15 + 2 * kLabelH};
  }

  Size draw(const Node& n, const Place& at, long x, long y) {
    const long w = number(n.words.at(1), n.line), h = number(n.words.at(2), n.line);
    for (const auto& c : n.children) {
      const auto& ws = c->words;
      if (ws.size() < 6) fail(c->line, "expected KIND NAME X Y W H");
      std::string name = ws[1] == "-" ? (ws[0] == "Line" ? em.lineName() : em.decoName()) : ws[1];
      const long a = number(ws[2], c->line), b = number(ws[3], c->line), cw = number(ws[4], c->line),
                 ch = number(ws[5], c->line);
      std::string rest;
      for (size_t k = 6; k < ws.size(); ++k) rest += " " + ws[k];
      if (ws[0] == "Line") {
        em.line("Line " + name + at.in() + " X1=" + std::to_string(x + a) + " Y1=" + std::to_string(y + b) +
                " X2=" + std::to_string(x + cw) + " Y2=" + std::to_string(y + ch) + rest);
      } else {
        em.control(ws[0], name, at, x + a, y + b, cw, ch, rest);
      }
    }
    return {w, h};
  }

  Size label(const Node& n, const Place& at, long x, long y) {
    if (n.words.size() != 3) fail(n.line, "expected label NAME \"caption\"");
    const std::string t = unquote(n.words[2], n.line);
    const std::string name = n.words[1] == "-" ? em.decoName() : n.words[1];
    em.control("Label", name, at, x, y, textWidth(t), kLabelH, " AutoSize=True Caption=" + quote(t));
    return {textWidth(t), kLabelH};
  }
};

void readCatalogue(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    int n = std::atoi(line.substr(0, tab).c_str());
    if (n >= 1 && n <= 254) gNames[n] = line.substr(tab + 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: frmmain_layout_gen DESC CATALOGUE [OUT]\n";
    return 2;
  }
  try {
    readCatalogue(argv[2]);
    std::ifstream in(argv[1]);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    auto root = parse(in);
    Generator g;
    const std::string text = g.run(*root);
    if (argc == 4) {
      std::ofstream out(argv[3], std::ios::binary);
      out << text;
      if (!out) throw std::runtime_error(std::string("cannot write ") + argv[3]);
    } else {
      std::cout << text;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
