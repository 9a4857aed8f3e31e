#include "render/GLFont.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace quarn::render {

namespace {

constexpr int GlyphCount = 256;
constexpr int GridSize = 16;
constexpr int GlyphsPerSet = 128;
constexpr int FirstCharacter = 32;  // glyph 0 of each set
constexpr float CellSpan = 0.0625f;  // one cell in texture coordinates (1 / 16)
constexpr int PenAdvance = 14;       // pixels per glyph; the quad is 16 wide
constexpr int QuadWidth = 16;        // pixels
constexpr int QuadHeight = 32;       // 16 units scaled 1 x 2
constexpr int CellWidth = 16;        // text grid, pixels
constexpr int CellHeight = 24;
constexpr size_t BatchGlyphs = 1024;  // room reserved at construction: a full console and more

// Glyph index of byte c in a set, or -1 where no list was built for it.
int GlyphOf(unsigned char c, uint32_t glyphSet)
{
  const int g = int(c) - FirstCharacter + int(glyphSet) * GlyphsPerSet;
  return g >= 0 && g < GlyphCount ? g : -1;
}

float CellLeft(int g) { return static_cast<float>(g % GridSize) / GridSize; }
float CellTop(int g) { return static_cast<float>(g / GridSize) / GridSize; }

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
    glTexCoord2f(cx, 1 - cy - CellSpan);
    glVertex2i(0, 16);
    glTexCoord2f(cx + CellSpan, 1 - cy - CellSpan);
    glVertex2i(16, 16);
    glTexCoord2f(cx + CellSpan, 1 - cy);
    glVertex2i(16, 0);
    glTexCoord2f(cx, 1 - cy);
    glVertex2i(0, 0);
    glEnd();
    glTranslated(PenAdvance, 0, 0);
    glEndList();
  }
  FVertices.reserve(BatchGlyphs * 4);
}

TGLFont::~TGLFont()
{
  if (FBase != 0) glDeleteLists(FBase, GlyphCount);
}

void TGLFont::Print(int32_t col, int32_t row, const char* text, uint32_t glyphSet)
{
  BeginBatch();
  Add(col, row, text != nullptr ? std::string_view(text) : std::string_view(), glyphSet);
  EndBatch();
}

void TGLFont::BeginBatch()
{
  FVertices.clear();
  FCol = FRow = FPen = 0;
  FGlyphSet = 1;
  FEnded = false;
}

void TGLFont::Add(int32_t col, int32_t row, std::string_view text, uint32_t glyphSet)
{
  FCol = col;
  FRow = row;
  FGlyphSet = glyphSet > 1 ? 1 : glyphSet;
  FPen = 0;
  FEnded = false;
  Append(text);
}

void TGLFont::Append(std::string_view text)
{
  if (FEnded) return;
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) {
    text = text.substr(0, nul);
    FEnded = true;
  }
  const float top = float(FRow) * CellHeight;
  for (const char ch : text) {
    const int g = GlyphOf(static_cast<unsigned char>(ch), FGlyphSet);
    if (g < 0) continue;  // no list: nothing drawn, the pen stays
    const float left = float(FCol) * CellWidth + float(FPen) * PenAdvance;
    ++FPen;
    const float cx = CellLeft(g), cy = CellTop(g);
    const float s0 = cx, s1 = cx + CellSpan, t0 = 1 - cy, t1 = 1 - cy - CellSpan;
    const float x0 = left, x1 = left + QuadWidth, y0 = top, y1 = top + QuadHeight;
    FVertices.push_back({s0, t1, x0, y1});
    FVertices.push_back({s1, t1, x1, y1});
    FVertices.push_back({s1, t0, x1, y0});
    FVertices.push_back({s0, t0, x0, y0});
  }
}

void TGLFont::EndBatch()
{
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, Width, Height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
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
  FVertices.clear();
}

}  // namespace quarn::render
