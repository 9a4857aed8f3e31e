#include "render/GLFont.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace quarn::render {

namespace {

constexpr int GlyphCount = 256;
constexpr int GridSize = 16;
constexpr int GlyphsPerSet = 128;
constexpr int FirstCharacter = 32;   // glyph 0 of each set
constexpr float CellSpan = 0.0625f;  // one cell in texture coordinates (1 / 16)
constexpr int PenAdvance = 14;       // pixels per glyph; the quad is 16 wide
constexpr int QuadWidth = 16;        // pixels
constexpr int QuadHeight = 32;       // 16 units scaled 1 x 2
constexpr int CellWidth = TextCellWidth;  // text grid, pixels
constexpr int CellHeight = TextCellHeight;
constexpr size_t BatchGlyphs = 1024;  // room reserved at construction: a full console and more
constexpr size_t BatchStrings = 64;
constexpr int MaxParts = 16;  // pieces of one glyph's visible part
// Texture lookups land a hair away from where they are aimed; a texel this close to a
// sample's footprint counts as read.
constexpr double SampleSlack = 1.0 / 64;

// Glyph index of byte c in a set, or -1 where no list was built for it.
int GlyphOf(unsigned char c, uint32_t glyphSet)
{
  const int g = int(c) - FirstCharacter + int(glyphSet) * GlyphsPerSet;
  return g >= 0 && g < GlyphCount ? g : -1;
}

float CellLeft(int g) { return static_cast<float>(g % GridSize) / GridSize; }
float CellTop(int g) { return static_cast<float>(g / GridSize) / GridSize; }

bool IsOn(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

GLint Get(GLenum name)
{
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

}  // namespace

TGLFont::TGLFont(const std::string& fileName) : FTexture(std::make_unique<TTexture>())
{
  FTexture->BuildMipmaps = false;
  if (!FTexture->LoadTGA(fileName)) throw std::runtime_error("Could not load font texture");

  FBase = glGenLists(GlyphCount);
  glBindTexture(GL_TEXTURE_2D, FTexture->GetID());
  for (int g = 0; g < GlyphCount; ++g) {
    const float cx = CellLeft(g), cy = CellTop(g);
    glNewList(FBase + g, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(cx, cy + CellSpan);
    glVertex2i(0, 16);
    glTexCoord2f(cx + CellSpan, cy + CellSpan);
    glVertex2i(16, 16);
    glTexCoord2f(cx + CellSpan, cy);
    glVertex2i(16, 0);
    glTexCoord2f(cx, cy);
    glVertex2i(0, 0);
    glEnd();
    glTranslated(PenAdvance, 0, 0);
    glEndList();
  }
  MeasureInk();
  FSegments.reserve(BatchStrings);
  FStrings.reserve(BatchStrings);
  FVertices.reserve(BatchGlyphs * 4);
}

TGLFont::~TGLFont()
{
  if (FBase != 0) glDeleteLists(FBase, GlyphCount);
}

// A pixel of a glyph quad can show ink when a texel its texture lookup may read, nearest or
// linear, wrapping at the image's edges, has a non-zero alpha as the texture holds it (an
// image without alpha reads as opaque everywhere).
void TGLFont::MeasureInk()
{
  const int w = FTexture->Width, h = FTexture->Height;
  for (TRect& ink : FInk) ink = TRect{0, 0, QuadWidth, QuadHeight};
  if (w <= 0 || h <= 0) return;
  std::vector<uint8_t> alpha(size_t(w) * size_t(h));
  const GLint packAlignment = Get(GL_PACK_ALIGNMENT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  // Texel columns (rows) a lookup at texture coordinate c may read.
  auto span = [](double c, int size, int& first, int& last) {
    const double texel = c * size - 0.5;
    first = int(std::floor(texel - SampleSlack));
    last = int(std::floor(texel + SampleSlack)) + 1;
  };
  auto inked = [&](int g, int px, int py) {
    const double s = double(CellLeft(g)) + (px + 0.5) / QuadWidth * CellSpan;
    const double t = double(CellTop(g)) + (py + 0.5) / QuadHeight * CellSpan;
    int u0, u1, v0, v1;
    span(s, w, u0, u1);
    span(t, h, v0, v1);
    for (int v = v0; v <= v1; ++v)
      for (int u = u0; u <= u1; ++u) {
        const int x = ((u % w) + w) % w, y = ((v % h) + h) % h;
        if (alpha[size_t(y) * size_t(w) + size_t(x)] != 0) return true;
      }
    return false;
  };
  for (int g = 0; g < GlyphCount; ++g) {
    TRect ink{QuadWidth, QuadHeight, 0, 0};
    for (int py = 0; py < QuadHeight; ++py)
      for (int px = 0; px < QuadWidth; ++px)
        if (inked(g, px, py)) {
          ink.X0 = std::min(ink.X0, px);
          ink.Y0 = std::min(ink.Y0, py);
          ink.X1 = std::max(ink.X1, px + 1);
          ink.Y1 = std::max(ink.Y1, py + 1);
        }
    FInk[g] = ink.Empty() ? TRect{} : ink;
  }
}

// Cropping leaves the picture as it was only where a texel of alpha 0 leaves a pixel as it
// was: blended by source alpha, with the texel's alpha reaching the fragment, and nothing else
// (alpha or stencil test, logic op) reacting to the fragment itself. With depth writes on, a
// quad also hides later ones at the same depth, which the cropped form reproduces only for
// the default "less" test.
TGLFont::TFill TGLFont::ChooseFill() const
{
  if (!IsOn(GL_TEXTURE_2D) || !IsOn(GL_BLEND) || IsOn(GL_ALPHA_TEST) || IsOn(GL_STENCIL_TEST) ||
      IsOn(GL_COLOR_LOGIC_OP))
    return TFill::Quads;
  const GLint src = Get(GL_BLEND_SRC), dst = Get(GL_BLEND_DST);
  if (src != GL_SRC_ALPHA || (dst != GL_ONE && dst != GL_ONE_MINUS_SRC_ALPHA)) return TFill::Quads;
#ifdef GL_BLEND_EQUATION
  if (Get(GL_BLEND_EQUATION) != GL_FUNC_ADD) return TFill::Quads;
#endif
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  if (env != GL_MODULATE && env != GL_REPLACE) return TFill::Quads;
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  if (!IsOn(GL_DEPTH_TEST) || depthWrites == GL_FALSE) return TFill::Ink;
  return Get(GL_DEPTH_FUNC) == GL_LESS ? TFill::InkUncovered : TFill::Quads;
}

TScreenArea TGLFont::RowArea(int32_t row) const
{
  const int32_t top = row * CellHeight;
  return {0, Height - (top + QuadHeight), Width, Height - top};
}

void TGLFont::Print(int32_t col, int32_t row, const char* text, uint32_t glyphSet)
{
  BeginBatch();
  Add(col, row, text != nullptr ? std::string_view(text) : std::string_view(), glyphSet);
  EndBatch();
}

void TGLFont::BeginBatch() { FSegments.clear(); }

void TGLFont::Add(int32_t col, int32_t row, std::string_view text, uint32_t glyphSet)
{
  FSegments.push_back({text, col, row, glyphSet > 1 ? 1 : glyphSet, false});
}

void TGLFont::AddAfter(int32_t col, int32_t row, int32_t pen, std::string_view text,
                       uint32_t glyphSet)
{
  FSegments.push_back({text, col, row, glyphSet > 1 ? 1 : glyphSet, false, pen});
}

void TGLFont::Append(std::string_view text)
{
  if (FSegments.empty()) return;
  TSegment segment = FSegments.back();
  segment.Text = text;
  segment.Continues = true;
  FSegments.push_back(segment);
}

void TGLFont::Emit(int g, const TRect& quad, const TRect& part)
{
  // Texture coordinates at the part's edges, on the quad's own linear mapping: whole-quad
  // edges get exactly the values the glyph lists use.
  const float cx = CellLeft(g), top = CellTop(g);
  auto s = [&](int x) { return cx + CellSpan * (float(x - quad.X0) / QuadWidth); };
  auto t = [&](int y) { return top + CellSpan * (float(y - quad.Y0) / QuadHeight); };
  const float x0 = float(part.X0), x1 = float(part.X1), y0 = float(part.Y0), y1 = float(part.Y1);
  FVertices.push_back({s(part.X0), t(part.Y1), x0, y1});
  FVertices.push_back({s(part.X1), t(part.Y1), x1, y1});
  FVertices.push_back({s(part.X1), t(part.Y0), x1, y0});
  FVertices.push_back({s(part.X0), t(part.Y0), x0, y0});
}

bool TGLFont::BuildVertices(TFill fill)
{
  FVertices.clear();
  FStrings.clear();
  const TRect view{0, 0, Width, Height};
  TRect previous, string;  // the string's last quad and all its quads so far
  bool ended = false;      // a NUL ended the string
  for (const TSegment& segment : FSegments) {
    if (!segment.Continues) {
      if (!string.Empty()) FStrings.push_back(string);
      FCol = segment.Col;
      FRow = segment.Row;
      FGlyphSet = segment.GlyphSet;
      FPen = segment.Pen;
      previous = string = TRect{};
      ended = false;
    }
    for (const char ch : segment.Text) {
      if (ended || ch == '\0') {
        ended = true;
        break;
      }
      const int g = GlyphOf(static_cast<unsigned char>(ch), FGlyphSet);
      if (g < 0) continue;  // no list: nothing drawn, the pen stays
      const int32_t x = FCol * CellWidth + FPen * PenAdvance, y = FRow * CellHeight;
      const TRect quad{x, y, x + QuadWidth, y + QuadHeight};
      ++FPen;
      if (string.Empty()) string = quad;
      string.X1 = quad.X1;
      const bool follows = !previous.Empty();
      previous = quad;
      if (quad.X0 >= view.X1 || quad.Y0 >= view.Y1 || quad.X1 <= view.X0 || quad.Y1 <= view.Y0)
        continue;  // wholly outside the viewport: touches no pixel
      if (fill == TFill::Quads) {
        Emit(g, quad, quad);
        continue;
      }
      const TRect& ink = FInk[g];
      if (ink.Empty()) continue;
      TRect parts[MaxParts];
      int count = 1;
      parts[0] = {quad.X0 + ink.X0, quad.Y0 + ink.Y0, quad.X0 + ink.X1, quad.Y0 + ink.Y1};
      if (fill == TFill::InkUncovered) {
        // Earlier quads of the batch, at the same depth, hid these pixels.
        auto cut = [&](const TRect& cover) {
          TRect kept[MaxParts];
          int n = 0;
          for (int i = 0; i < count; ++i) {
            const TRect& p = parts[i];
            const TRect c{std::max(p.X0, cover.X0), std::max(p.Y0, cover.Y0),
                          std::min(p.X1, cover.X1), std::min(p.Y1, cover.Y1)};
            const TRect pieces[4] = {{p.X0, p.Y0, p.X1, c.Y0},
                                     {p.X0, c.Y1, p.X1, p.Y1},
                                     {p.X0, c.Y0, c.X0, c.Y1},
                                     {c.X1, c.Y0, p.X1, c.Y1}};
            if (c.Empty()) {
              if (n == MaxParts) return false;
              kept[n++] = p;
              continue;
            }
            for (const TRect& piece : pieces) {
              if (piece.Empty()) continue;
              if (n == MaxParts) return false;
              kept[n++] = piece;
            }
          }
          std::copy(kept, kept + n, parts);
          count = n;
          return true;
        };
        if (follows && !cut(TRect{quad.X0 - PenAdvance, quad.Y0, quad.X1 - PenAdvance, quad.Y1}))
          return false;
        for (const TRect& cover : FStrings)
          if (!cut(cover)) return false;
      }
      for (int i = 0; i < count; ++i) Emit(g, quad, parts[i]);
    }
  }
  return true;
}

void UsePixelSpace(int32_t width, int32_t height)
{
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void TGLFont::EndBatch()
{
  FCol = FRow = FPen = 0;
  FGlyphSet = 1;
  const TFill fill = ChooseFill();
  if (!BuildVertices(fill)) BuildVertices(TFill::Quads);
  UsePixelSpace(Width, Height);
  FTexture->Bind();
  glColor4bv(FColor);
  if (!FVertices.empty()) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &FVertices[0].X);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &FVertices[0].S);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(FVertices.size()));
    glPopClientAttrib();
  }
  // The state the last string's glyph lists would have left: the pen after its last glyph.
  glTranslated(double(FCol) * CellWidth, double(FRow) * CellHeight, 0);
  glListBase(FBase + FGlyphSet * GlyphsPerSet - FirstCharacter);
  glScalef(1, 2, 1);
  if (FPen > 0) glTranslated(double(FPen) * PenAdvance, 0, 0);
  glColor4b(127, 127, 127, 127);
  FSegments.clear();
}

}  // namespace quarn::render
