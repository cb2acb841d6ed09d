#include "maps/GUIEnvironmentWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"

GUIEnvironmentWindow::GUIEnvironmentWindow() { m_type = kTypeGUIEnvironmentWindow; }

GUIEnvironmentWindow::~GUIEnvironmentWindow() = default;

bool GUIEnvironmentWindow::OnEvent(int, int, int) { return false; }

void* GUIEnvironmentWindow::GetProperty(const std::string&) { return nullptr; }

Camera* GUIEnvironmentWindow::FindCamera() const {
    CameraManager* cameras = GetGlobalState()->cameraManager;
    if (!cameras) return nullptr;  // no world to look at yet
    Camera* camera = cameras->GetActiveCamera();
    if (!camera) {
        std::fputs("Display Manager reports there is no active Camera.\n", stderr);
        std::fputs("Setting the Active to the Default.\n", stderr);
        cameras->SetActiveCamera(CameraManager::kDefaultName);
        camera = cameras->GetActiveCamera();
    }
    return camera;
}

bool GUIEnvironmentWindow::DrawWorld(BitmapWrapper* view, Camera* camera) {
    GlobalState* state = GetGlobalState();
    // Where the level covers the whole view with opaque pixels, clearing
    // it first would change nothing.
    if (state->mapManager && state->mapManager->CoversView(camera))
        view->SetAsTarget();
    else
        view->ClearToBlack();  // also makes the view the drawing target
    // The map's first pass: ground and lower layers (and the backgrounds).
    if (state->mapManager) {
        PhaseScope phase(FramePhase::Map);
        state->mapManager->Draw(view, camera, false);
    }
    if (state->entityManager) {
        PhaseScope phase(FramePhase::Entities);
        state->entityManager->DrawAll(view, camera);
    }
    std::weak_ptr<char> self = GetLifeToken();
    DrawChildren(view);
    if (self.expired()) return false;  // a child's drawing took this window away
    // The map's second pass: what stands in front of the entities.
    if (state->mapManager) {
        {
            PhaseScope phase(FramePhase::Map);
            state->mapManager->Draw(view, camera, true);
        }
        if (self.expired()) return false;
    }
    return true;
}

void GUIEnvironmentWindow::Render() {
    m_cameraBitmap = nullptr;
    Camera* camera = FindCamera();
    if (!camera) return;

    camera->Update();
    BitmapWrapper* view = camera->GetBitmap();
    if (!view || !view->GetBitmap()) {
        std::fputs("Camera does not have an active view...\n", stderr);
        return;
    }
    m_cameraBitmap = view;
    if (!DrawWorld(view, camera)) return;

    if (Backing() && Backing()->GetBitmap()) {
        Backing()->SetAsTarget();
        view->DrawScaledToCurrent(0, 0, camera->GetWidth(), camera->GetHeight(), 0, 0, m_width, m_height, 0);
    }
    // The world changes every frame, so the window is drawn again each time.
    m_dirty = true;
    SetParentsDirty();
}

bool GUIEnvironmentWindow::RenderStraightTo(BitmapWrapper* target) {
    // A window at the frame's corner, of the camera's size and without a
    // border shows the view unscaled and unchanged: the world is drawn
    // straight onto the frame, clipped to the window, sparing the camera's
    // image and the backing bitmap two copies of the whole view.
    if (!target || !target->GetBitmap() || m_positionX != 0 || m_positionY != 0 || IsBorderOn()) return false;
    CameraManager* cameras = GetGlobalState()->cameraManager;
    Camera* camera = cameras ? cameras->GetActiveCamera() : nullptr;
    if (!camera || camera->GetWidth() != m_width || camera->GetHeight() != m_height) return false;
    BitmapWrapper* view = camera->GetBitmap();
    if (!view || !view->GetBitmap()) return false;

    m_cameraBitmap = nullptr;
    camera->Update();
    target->SetAsTarget();
    int clipX, clipY, clipW, clipH;
    al_get_clipping_rectangle(&clipX, &clipY, &clipW, &clipH);
    al_set_clipping_rectangle(0, 0, m_width, m_height);
    std::weak_ptr<char> self = GetLifeToken();
    const bool drawn = DrawWorld(target, camera);
    target->SetAsTarget();
    al_set_clipping_rectangle(clipX, clipY, clipW, clipH);
    if (drawn && !self.expired()) {
        m_dirty = true;
        SetParentsDirty();
    }
    return true;
}
