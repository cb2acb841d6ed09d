#pragma once
// A small OpenGL toolkit for drawing code that works in OpenGL mode: an
// off-screen render target (a framebuffer object with a colour texture and a
// depth buffer), textured-quad draws that place a bitmap as Allegro's own
// drawing calls do, a perspective set-up, an untextured rectangle, an error
// printer and a render-to-texture self-test.
//
// Everything here needs a current OpenGL display. Without one (or without
// the framebuffer-object entry points) the operations do nothing, and
// GLsurface::Setup reports the failure.
#include <allegro5/allegro.h>

#include <cstdint>

// An off-screen render target. Zero-filled until Setup fills it.
struct GLsurface {
    uint32_t framebuffer = 0;
    uint32_t depthBuffer = 0;    // renderbuffer
    uint32_t colourTexture = 0;  // 0: none
    int32_t width = 0;
    int32_t height = 0;

    // Creates the framebuffer with a width x height RGBA8 colour texture and
    // a depth renderbuffer. An incomplete framebuffer (or no OpenGL context
    // with framebuffer objects) shows the message box "Failed to setup the
    // FrameBuffer!" captioned "GLsurface Error" and returns false. The
    // framebuffer, texture and renderbuffer bound before are bound again.
    bool Setup(int32_t width, int32_t height);
    // Deletes the framebuffer, the renderbuffer and the texture.
    void Release();
    // Draws into the surface from now on: binds its framebuffer, saves the
    // viewport and sets it to the surface's size.
    void Bind();
    // Restores the viewport and the framebuffer bound before Bind.
    void Unbind();
    // Clears the colour buffer only.
    void Clear(float r, float g, float b, float a);
    // The colour texture; with none, the message box "No Texture" and 0.
    uint32_t GetTexture();

    // Renders a rotating triangle on red into the surface, then shows the
    // surface's texture as a 1000 x 1200 quad centred on the origin of the
    // current projection. Each call turns the triangle by one degree.
    static void DrawTest(GLsurface* surface);

private:
    uint32_t m_savedFramebuffer = 0;  // bound before Bind
    bool m_bound = false;             // between Bind and Unbind
};

// Quad draws of a bitmap's OpenGL texture on the current target, placed as
// the matching al_draw_* call places it: angles in radians, (cx, cy) the
// pivot in the source, flags ALLEGRO_FLIP_HORIZONTAL (1) and
// ALLEGRO_FLIP_VERTICAL (2) mirror the source. The source rectangle is
// clipped to the bitmap. Each draw raises the program-wide quad depth by
// 0.01 first and draws at that z, so later quads lie in front of earlier
// ones under a depth test. A null bitmap, one without a texture (a memory
// bitmap) or no OpenGL display draws nothing.
void GLDrawBitmapQuad(ALLEGRO_BITMAP* bitmap, float r, float g, float b, float a, float cx, float cy, float angle,
                      float xScale, float yScale, float sx, float sy, float sw, float sh, float dx, float dy,
                      int flags);
void GLDrawTintedBitmapRegion(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float sx, float sy, float sw, float sh,
                              float dx, float dy, int flags);
void GLDrawTintedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float dx, float dy, int flags);
void GLDrawBitmap(ALLEGRO_BITMAP* bitmap, float dx, float dy, int flags);
void GLDrawBitmapRegion(ALLEGRO_BITMAP* bitmap, float sx, float sy, float sw, float sh, float dx, float dy, int flags);
void GLDrawTintedScaledBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float sx, float sy, float sw, float sh,
                              float dx, float dy, float dw, float dh, int flags);
void GLDrawScaledBitmap(ALLEGRO_BITMAP* bitmap, float sx, float sy, float sw, float sh, float dx, float dy, float dw,
                        float dh, int flags);
void GLDrawTintedScaledRotatedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float cx, float cy, float dx, float dy,
                                     float xScale, float yScale, float angle, int flags);
void GLDrawTintedRotatedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float cx, float cy, float dx, float dy,
                               float angle, int flags);
void GLDrawRotatedBitmap(ALLEGRO_BITMAP* bitmap, float cx, float cy, float dx, float dy, float angle, int flags);
void GLDrawScaledRotatedBitmap(ALLEGRO_BITMAP* bitmap, float cx, float cy, float dx, float dy, float xScale,
                               float yScale, float angle, int flags);

// Prints "OpenGL Error[%d]\n" on stdout when glGetError reports one.
void PrintGLError();
// glFrustum for a vertical field of view in degrees.
void SetGLPerspective(double fieldOfView, double aspect, double zNear, double zFar);
// An untextured rectangle in the colour; texturing is left as it was.
void DrawGLFilledRect(int top, int left, int width, int height, float r, float g, float b, float a);
