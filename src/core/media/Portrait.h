#pragma once
// A dialogue portrait: the holder of one bitmap, which it owns.
#include <string>

class BitmapWrapper;

class Portrait {
public:
    Portrait() = default;
    ~Portrait();
    Portrait(const Portrait&) = delete;
    Portrait& operator=(const Portrait&) = delete;

    // Takes ownership; a bitmap held before is deleted.
    void SetBitmap(BitmapWrapper* bitmap);
    BitmapWrapper* GetBitmap() const { return bitmap_; }
    // Takes the named image from the image manager's open archive; false
    // (the held bitmap unchanged) when there is no manager or no such image.
    bool LoadFromArchive(const std::string& name);

private:
    BitmapWrapper* bitmap_ = nullptr;
};
