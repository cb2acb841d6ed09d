// The extension list (and the extension constants) are among Allegro's
// unstable declarations.
#define ALLEGRO_UNSTABLE
#include "core/media/RenderTarget.h"

#include <allegro5/allegro_opengl.h>

#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/os/DebugConsole.h"

namespace {

// The framebuffer-object entry points, looked up through Allegro once an
// OpenGL display lists the extension. On this platform the addresses do
// not depend on the context, so they are kept once found.
struct FramebufferApi {
    using GenFn = void (*)(GLsizei, GLuint*);
    using DeleteFn = void (*)(GLsizei, const GLuint*);
    using BindFn = void (*)(GLenum, GLuint);
    using StorageFn = void (*)(GLenum, GLenum, GLsizei, GLsizei);
    using AttachRenderbufferFn = void (*)(GLenum, GLenum, GLenum, GLuint);
    using AttachTextureFn = void (*)(GLenum, GLenum, GLenum, GLuint, GLint);
    using StatusFn = GLenum (*)(GLenum);

    GenFn genFramebuffers = nullptr;
    DeleteFn deleteFramebuffers = nullptr;
    BindFn bindFramebuffer = nullptr;
    GenFn genRenderbuffers = nullptr;
    DeleteFn deleteRenderbuffers = nullptr;
    BindFn bindRenderbuffer = nullptr;
    StorageFn renderbufferStorage = nullptr;
    AttachRenderbufferFn framebufferRenderbuffer = nullptr;
    AttachTextureFn framebufferTexture2D = nullptr;
    StatusFn checkFramebufferStatus = nullptr;

    bool Complete() const {
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers && deleteRenderbuffers &&
               bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer && framebufferTexture2D &&
               checkFramebufferStatus;
    }
};

FramebufferApi g_fbo;

// Program-wide z of the quad draws.
float g_quadDepth = 0.0f;

// Angle of the self-test's triangle, in degrees.
float g_testAngle = 0.1f;

// A current display made for the fixed-function OpenGL pipeline.
bool HaveGLContext() {
    if (!al_is_system_installed()) return false;
    ALLEGRO_DISPLAY* display = al_get_current_display();
    if (!display) return false;
    int flags = al_get_display_flags(display);
    return (flags & ALLEGRO_OPENGL) && !(flags & ALLEGRO_PROGRAMMABLE_PIPELINE);
}

template <class Fn> void Load(Fn& slot, const char* name) {
    if (!slot) slot = reinterpret_cast<Fn>(al_get_opengl_proc_address(name));
}

// The entry points for the current display; null without them.
const FramebufferApi* Framebuffers() {
    if (!HaveGLContext()) return nullptr;
    if (g_fbo.Complete()) return &g_fbo;
    ALLEGRO_OGL_EXT_LIST* extensions = al_get_opengl_extension_list();
    if (!extensions || !extensions->ALLEGRO_GL_EXT_framebuffer_object) return nullptr;
    Load(g_fbo.genFramebuffers, "glGenFramebuffersEXT");
    Load(g_fbo.deleteFramebuffers, "glDeleteFramebuffersEXT");
    Load(g_fbo.bindFramebuffer, "glBindFramebufferEXT");
    Load(g_fbo.genRenderbuffers, "glGenRenderbuffersEXT");
    Load(g_fbo.deleteRenderbuffers, "glDeleteRenderbuffersEXT");
    Load(g_fbo.bindRenderbuffer, "glBindRenderbufferEXT");
    Load(g_fbo.renderbufferStorage, "glRenderbufferStorageEXT");
    Load(g_fbo.framebufferRenderbuffer, "glFramebufferRenderbufferEXT");
    Load(g_fbo.framebufferTexture2D, "glFramebufferTexture2DEXT");
    Load(g_fbo.checkFramebufferStatus, "glCheckFramebufferStatusEXT");
    return g_fbo.Complete() ? &g_fbo : nullptr;
}

GLuint CurrentBinding(GLenum which) {
    GLint name = 0;
    glGetIntegerv(which, &name);
    return static_cast<GLuint>(name);
}

void ReportSetupFailure() { platform::MessageBox("GLsurface Error", "Failed to setup the FrameBuffer!"); }

}  // namespace

// ---------------------------------------------------------------------------
// GLsurface

bool GLsurface::Setup(int32_t newWidth, int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    const FramebufferApi* api = Framebuffers();
    if (!api || newWidth <= 0 || newHeight <= 0) {
        ReportSetupFailure();
        return false;
    }
    GLuint oldFramebuffer = CurrentBinding(GL_FRAMEBUFFER_BINDING_EXT);
    GLuint oldRenderbuffer = CurrentBinding(GL_RENDERBUFFER_BINDING_EXT);
    GLuint oldTexture = CurrentBinding(GL_TEXTURE_BINDING_2D);

    GLuint name = 0;
    api->genFramebuffers(1, &name);
    framebuffer = name;
    api->bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer);

    name = 0;
    api->genRenderbuffers(1, &name);
    depthBuffer = name;
    api->bindRenderbuffer(GL_RENDERBUFFER_EXT, depthBuffer);
    api->renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
    api->framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depthBuffer);

    name = 0;
    glGenTextures(1, &name);
    colourTexture = name;
    glBindTexture(GL_TEXTURE_2D, colourTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    api->framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colourTexture, 0);

    bool complete = api->checkFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    if (!complete) ReportSetupFailure();

    // Drawing goes on where it went before (the window, or Allegro's own
    // framebuffer of a target bitmap).
    api->bindFramebuffer(GL_FRAMEBUFFER_EXT, oldFramebuffer);
    glBindTexture(GL_TEXTURE_2D, oldTexture);
    api->bindRenderbuffer(GL_RENDERBUFFER_EXT, oldRenderbuffer);
    return complete;
}

void GLsurface::Release() {
    const FramebufferApi* api = Framebuffers();
    if (!api) return;
    if (m_bound) Unbind();
    GLuint name = framebuffer;
    if (name) api->deleteFramebuffers(1, &name);
    name = depthBuffer;
    if (name) api->deleteRenderbuffers(1, &name);
    name = colourTexture;
    if (name) glDeleteTextures(1, &name);
    framebuffer = 0;
    depthBuffer = 0;
    colourTexture = 0;
}

void GLsurface::Bind() {
    const FramebufferApi* api = Framebuffers();
    if (!api || !framebuffer || m_bound) return;
    m_savedFramebuffer = CurrentBinding(GL_FRAMEBUFFER_BINDING_EXT);
    api->bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    m_bound = true;
}

void GLsurface::Unbind() {
    const FramebufferApi* api = Framebuffers();
    if (!api || !m_bound) return;
    glPopAttrib();
    api->bindFramebuffer(GL_FRAMEBUFFER_EXT, m_savedFramebuffer);
    m_bound = false;
}

void GLsurface::Clear(float r, float g, float b, float a) {
    if (!HaveGLContext()) return;
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
}

uint32_t GLsurface::GetTexture() {
    if (colourTexture == 0) {
        platform::MessageBox("", "No Texture");
        return 0;
    }
    return colourTexture;
}

void GLsurface::DrawTest(GLsurface* surface) {
    if (!surface || !HaveGLContext()) return;
    GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    GLuint oldTexture = CurrentBinding(GL_TEXTURE_BINDING_2D);

    // The triangle, drawn into the surface.
    glDisable(GL_DEPTH_TEST);
    surface->Bind();
    surface->Clear(1.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);

    glPushMatrix();
    glRotatef(g_testAngle, 0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex2f(0.87f, -0.5f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex2f(-0.87f, -0.5f);
    glEnd();
    glPopMatrix();

    // The surface's texture, shown where drawing went before.
    surface->Unbind();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glPushMatrix();

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, surface->GetTexture());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glScalef(500.0f, 600.0f, 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();

    glBindTexture(GL_TEXTURE_2D, oldTexture);
    if (!texturing) glDisable(GL_TEXTURE_2D);
    g_testAngle += 1.0f;
    glEnable(GL_DEPTH_TEST);
}

// ---------------------------------------------------------------------------
// Quad draws

void GLDrawBitmapQuad(ALLEGRO_BITMAP* bitmap, float r, float g, float b, float a, float cx, float cy, float angle,
                      float xScale, float yScale, float sx, float sy, float sw, float sh, float dx, float dy,
                      int flags) {
    if (!bitmap || !HaveGLContext()) return;
    GLuint texture = al_get_opengl_texture(bitmap);
    if (!texture) return;
    int textureWidth = 0;
    int textureHeight = 0;
    if (!al_get_opengl_texture_size(bitmap, &textureWidth, &textureHeight) || textureWidth <= 0 || textureHeight <= 0)
        return;
    g_quadDepth += 0.01f;

    // The source is clipped to the bitmap; what is cut off the top or left
    // moves the rest so that it lands where it would have been.
    const float bitmapWidth = static_cast<float>(al_get_bitmap_width(bitmap));
    const float bitmapHeight = static_cast<float>(al_get_bitmap_height(bitmap));
    const float givenWidth = sw;
    const float givenHeight = sh;
    float shiftX = 0.0f;
    float shiftY = 0.0f;
    if (sx < 0.0f) {
        sw += sx;
        shiftX = -sx;
        sx = 0.0f;
    }
    if (sy < 0.0f) {
        sh += sy;
        shiftY = -sy;
        sy = 0.0f;
    }
    if (sx + sw > bitmapWidth) sw = bitmapWidth - sx;
    if (sy + sh > bitmapHeight) sh = bitmapHeight - sy;
    if (!(sw > 0.0f) || !(sh > 0.0f)) return;

    // A mirrored source is mirrored within the rectangle given.
    float left = (flags & ALLEGRO_FLIP_HORIZONTAL) ? givenWidth - shiftX - sw : shiftX;
    float top = (flags & ALLEGRO_FLIP_VERTICAL) ? givenHeight - shiftY - sh : shiftY;

    // Allegro keeps a bitmap's rows bottom-up in its texture, at the
    // bitmap's place within the texture.
    int u = 0;
    int v = 0;
    al_get_opengl_texture_position(bitmap, &u, &v);
    float sLeft = (u + sx) / textureWidth;
    float sRight = (u + sx + sw) / textureWidth;
    float tTop = (v + bitmapHeight - sy) / textureHeight;
    float tBottom = (v + bitmapHeight - sy - sh) / textureHeight;
    if (flags & ALLEGRO_FLIP_HORIZONTAL) std::swap(sLeft, sRight);
    if (flags & ALLEGRO_FLIP_VERTICAL) std::swap(tTop, tBottom);

    GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    GLuint oldTexture = CurrentBinding(GL_TEXTURE_BINDING_2D);
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(dx, dy, g_quadDepth);
    glRotatef(angle * 180.0f / static_cast<float>(M_PI), 0.0f, 0.0f, 1.0f);
    glScalef(xScale, yScale, 1.0f);
    glTranslatef(-cx, -cy, 0.0f);
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(sLeft, tTop);
    glVertex2f(left, top);
    glTexCoord2f(sRight, tTop);
    glVertex2f(left + sw, top);
    glTexCoord2f(sRight, tBottom);
    glVertex2f(left + sw, top + sh);
    glTexCoord2f(sLeft, tBottom);
    glVertex2f(left, top + sh);
    glEnd();
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(matrixMode));

    glBindTexture(GL_TEXTURE_2D, oldTexture);
    if (!texturing) glDisable(GL_TEXTURE_2D);
}

namespace {
float Width(ALLEGRO_BITMAP* bitmap) { return bitmap ? static_cast<float>(al_get_bitmap_width(bitmap)) : 0.0f; }
float Height(ALLEGRO_BITMAP* bitmap) { return bitmap ? static_cast<float>(al_get_bitmap_height(bitmap)) : 0.0f; }
const ALLEGRO_COLOR kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
}  // namespace

void GLDrawTintedBitmapRegion(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float sx, float sy, float sw, float sh,
                              float dx, float dy, int flags) {
    GLDrawBitmapQuad(bitmap, tint.r, tint.g, tint.b, tint.a, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, sx, sy, sw, sh, dx, dy,
                     flags);
}

void GLDrawTintedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float dx, float dy, int flags) {
    GLDrawTintedBitmapRegion(bitmap, tint, 0.0f, 0.0f, Width(bitmap), Height(bitmap), dx, dy, flags);
}

void GLDrawBitmap(ALLEGRO_BITMAP* bitmap, float dx, float dy, int flags) {
    GLDrawTintedBitmap(bitmap, kWhite, dx, dy, flags);
}

void GLDrawBitmapRegion(ALLEGRO_BITMAP* bitmap, float sx, float sy, float sw, float sh, float dx, float dy, int flags) {
    GLDrawTintedBitmapRegion(bitmap, kWhite, sx, sy, sw, sh, dx, dy, flags);
}

void GLDrawTintedScaledBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float sx, float sy, float sw, float sh,
                              float dx, float dy, float dw, float dh, int flags) {
    if (sw == 0.0f || sh == 0.0f) return;
    GLDrawBitmapQuad(bitmap, tint.r, tint.g, tint.b, tint.a, 0.0f, 0.0f, 0.0f, dw / sw, dh / sh, sx, sy, sw, sh, dx, dy,
                     flags);
}

void GLDrawScaledBitmap(ALLEGRO_BITMAP* bitmap, float sx, float sy, float sw, float sh, float dx, float dy, float dw,
                        float dh, int flags) {
    GLDrawTintedScaledBitmap(bitmap, kWhite, sx, sy, sw, sh, dx, dy, dw, dh, flags);
}

void GLDrawTintedScaledRotatedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float cx, float cy, float dx, float dy,
                                     float xScale, float yScale, float angle, int flags) {
    GLDrawBitmapQuad(bitmap, tint.r, tint.g, tint.b, tint.a, cx, cy, angle, xScale, yScale, 0.0f, 0.0f, Width(bitmap),
                     Height(bitmap), dx, dy, flags);
}

void GLDrawTintedRotatedBitmap(ALLEGRO_BITMAP* bitmap, ALLEGRO_COLOR tint, float cx, float cy, float dx, float dy,
                               float angle, int flags) {
    GLDrawTintedScaledRotatedBitmap(bitmap, tint, cx, cy, dx, dy, 1.0f, 1.0f, angle, flags);
}

void GLDrawRotatedBitmap(ALLEGRO_BITMAP* bitmap, float cx, float cy, float dx, float dy, float angle, int flags) {
    GLDrawTintedRotatedBitmap(bitmap, kWhite, cx, cy, dx, dy, angle, flags);
}

void GLDrawScaledRotatedBitmap(ALLEGRO_BITMAP* bitmap, float cx, float cy, float dx, float dy, float xScale,
                               float yScale, float angle, int flags) {
    GLDrawTintedScaledRotatedBitmap(bitmap, kWhite, cx, cy, dx, dy, xScale, yScale, angle, flags);
}

// ---------------------------------------------------------------------------
// Other operations

void PrintGLError() {
    if (!HaveGLContext()) return;
    GLenum error = glGetError();
    if (error != 0) std::printf("OpenGL Error[%d]\n", static_cast<int>(error));
}

void SetGLPerspective(double fieldOfView, double aspect, double zNear, double zFar) {
    if (!HaveGLContext()) return;
    double top = std::tan(fieldOfView * M_PI / 360.0) * zNear;
    double bottom = -top;
    double left = aspect * bottom;
    double right = aspect * top;
    glFrustum(left, right, bottom, top, zNear, zFar);
}

void DrawGLFilledRect(int top, int left, int width, int height, float r, float g, float b, float a) {
    if (!HaveGLContext()) return;
    GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_2D);
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glVertex2i(left, top);
    glVertex2i(left, top + height);
    glVertex2i(left + width, top + height);
    glVertex2i(left + width, top);
    glEnd();
    if (texturing) glEnable(GL_TEXTURE_2D);
}
