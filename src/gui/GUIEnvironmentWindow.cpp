#include "gui/GUIEnvironmentWindow.h"

#include <cstdio>
#include <memory>

#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "maps/MapManager.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"

GUIEnvironmentWindow::GUIEnvironmentWindow() { m_type = kTypeGUIEnvironmentWindow; }

GUIEnvironmentWindow::~GUIEnvironmentWindow() = default;

bool GUIEnvironmentWindow::OnEvent(int, int, int) { return false; }

void* GUIEnvironmentWindow::GetProperty(const std::string&) { return nullptr; }

void GUIEnvironmentWindow::Render() {
    GlobalState* state = GetGlobalState();
    m_cameraBitmap = nullptr;
    CameraManager* cameras = state->cameraManager;
    if (!cameras) return;  // no world to look at yet
    Camera* camera = cameras->GetActiveCamera();
    if (!camera) {
        std::fputs("Display Manager reports there is no active Camera.\n", stderr);
        std::fputs("Setting the Active to the Default.\n", stderr);
        cameras->SetActiveCamera(CameraManager::kDefaultName);
        camera = cameras->GetActiveCamera();
        if (!camera) return;
    }

    camera->Update();
    BitmapWrapper* view = camera->GetBitmap();
    if (!view || !view->GetBitmap()) {
        std::fputs("Camera does not have an active view...\n", stderr);
        return;
    }
    m_cameraBitmap = view;

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
    if (self.expired()) return;  // a child's drawing took this window away
    // The map's second pass: what stands in front of the entities.
    if (state->mapManager) {
        {
            PhaseScope phase(FramePhase::Map);
            state->mapManager->Draw(view, camera, true);
        }
        if (self.expired()) return;
    }

    if (m_backing && m_backing->GetBitmap()) {
        m_backing->SetAsTarget();
        view->DrawScaledToCurrent(0, 0, camera->GetWidth(), camera->GetHeight(), 0, 0, m_width, m_height, 0);
    }
    // The world changes every frame, so the window is drawn again each time.
    m_dirty = true;
    SetParentsDirty();
}
