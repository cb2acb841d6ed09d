#pragma once
// Shows whatever bitmap a watched property points to (a property whose
// value is a pointer to a bitmap pointer, value type -10); nothing, not even
// its children, while there is none.
#include <lua5.1/lua.hpp>

#include <memory>
#include <string>

#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"

class GUISmartImage : public GUIBaseObject {
public:
    // The value type of a property that addresses a bitmap pointer.
    static constexpr int32_t kBitmapPointerType = -10;

    GUISmartImage();
    ~GUISmartImage() override;

    // Watches the property when it addresses a bitmap pointer; otherwise
    // nothing changes.
    void SetImage(const std::string& kind, const std::string& owner, const std::string& property);
    // The bitmap shown now, or null.
    BitmapWrapper* GetShownImage() const;

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUISI_SetImage.
    static void RegisterLuaFunctions(lua_State* L);

private:
    std::unique_ptr<PropertyRouter::SyncPointer> m_watch;
};
