#include "world/CameraManager.h"

#include <vector>

#include "core/base/NamedList.h"
#include "world/Camera.h"

CameraManager::CameraManager(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height)
    : m_cameras(std::make_unique<NamedList>()) {
    AddCamera(name, x, y, width, height);
    m_active = GetCamera(kDefaultName);
}

CameraManager::~CameraManager() { ClearCameras(); }

Camera* CameraManager::AddCamera(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height) {
    auto* camera = new Camera(x, y, width, height);
    m_cameras->Add(name, camera);
    return camera;
}

void CameraManager::AddCamera(const std::string& name, Camera* camera) {
    if (!camera) return;
    m_cameras->Add(name, camera);
}

bool CameraManager::RemoveCamera(const std::string& name) {
    int index = m_cameras->IndexOfName(name);
    if (index < 0) return false;
    auto* camera = static_cast<Camera*>(m_cameras->RemoveAt(index));
    // A camera appended twice stays until its last entry goes.
    if (camera && !m_cameras->ContainsValue(camera)) {
        if (m_active == camera) m_active = GetCamera(kDefaultName);
        delete camera;
    }
    return true;
}

void CameraManager::ClearCameras() {
    std::vector<Camera*> cameras;
    for (NamedList::Node* node = m_cameras->GetHead(); node; node = node->next) {
        auto* camera = static_cast<Camera*>(node->value);
        bool seen = false;
        for (Camera* other : cameras) seen = seen || other == camera;
        if (!seen) cameras.push_back(camera);
    }
    m_cameras->Clear();
    m_active = nullptr;
    for (Camera* camera : cameras) delete camera;
}

Camera* CameraManager::GetCamera(const std::string& name) const { return m_cameras->FindAs<Camera>(name); }

Camera* CameraManager::GetCameraByIndex(int index) const {
    if (index < 0 || index >= m_cameras->GetCount()) return nullptr;
    return m_cameras->GetAtAs<Camera>(index);
}

int CameraManager::GetCameraCount() const { return m_cameras->GetCount(); }

bool CameraManager::SetActiveCamera(const std::string& name) {
    Camera* camera = GetCamera(name);
    if (!camera) return false;
    m_active = camera;
    return true;
}
