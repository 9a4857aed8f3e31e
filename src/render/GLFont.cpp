#include "render/GLFont.h"

#include <GL/gl.h>

#include <cstring>
#include <stdexcept>

namespace quarn::render {

namespace {

constexpr int GlyphCount = 256;
constexpr int GridSize = 16;
constexpr int GlyphsPerSet = 128;
constexpr int FirstCharacter = 32;  // glyph 0 of each set
constexpr float CellSpan = 0.0625f;  // one cell in texture coordinates (1 / 16)
constexpr double PenAdvance = 14;    // units per glyph; the quad is 16 wide
constexpr int CellWidth = 16;        // text grid, pixels
constexpr int CellHeight = 24;

}  // namespace

TGLFont::TGLFont(const std::string& fileName) : FTexture(std::make_unique<TTexture>())
{
  FTexture->BuildMipmaps = false;
  if (!FTexture->LoadTGA(fileName)) throw std::runtime_error("Could not load font texture");

  FBase = glGenLists(GlyphCount);
  glBindTexture(GL_TEXTURE_2D, FTexture->GetID());
  for (int g = 0; g < GlyphCount; ++g) {
    const float cx = static_cast<float>(g % GridSize) / GridSize;
    const float cy = static_cast<float>(g / GridSize) / GridSize;
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
}

TGLFont::~TGLFont()
{
  if (FBase != 0) glDeleteLists(FBase, GlyphCount);
}

void TGLFont::Print(int32_t col, int32_t row, const char* text, uint32_t glyphSet)
{
  glViewport(0, 0, Width, Height);
  if (glyphSet > 1) glyphSet = 1;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, Width, Height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  FTexture->Bind();
  glColor4bv(FColor);
  glTranslated(double(col) * CellWidth, double(row) * CellHeight, 0);
  // Byte c draws glyph c - 32 + 128 * glyphSet; names outside the 256 lists draw nothing.
  glListBase(FBase + glyphSet * GlyphsPerSet - FirstCharacter);
  glScalef(1, 2, 1);
  if (text != nullptr)
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
  glColor4b(127, 127, 127, 127);
}

}  // namespace quarn::render
