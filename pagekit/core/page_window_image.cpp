// The page window's image animation: timer 17 ticks every 100 ms while any image is
// registered, and each tick calls every registered image's OnImageAnimate. The image
// alone keeps its elapsed time and steps its frames.

#include <algorithm>

#include "pagekit/core/page_window.h"
#include "pagekit/items/page_image.h"

void XPageWindow::OnCreateImage(XPageImage *image)
{
    if (image == nullptr || std::find(m_images.begin(), m_images.end(), image) != m_images.end())
        return;
    m_images.push_back(image);
    if (m_images.size() == 1)
        SetTimer(uintptr_t{kTimerAnimate}, kAnimateElapse);
}

void XPageWindow::OnRemoveImage(XPageImage *image)
{
    auto at = std::find(m_images.begin(), m_images.end(), image);
    if (at == m_images.end())
        return;
    m_images.erase(at);
    if (m_images.empty())
        KillTimer(uintptr_t{kTimerAnimate});
}

void XPageWindow::AnimateImages()
{
    if (m_images.empty()) {
        KillTimer(uintptr_t{kTimerAnimate});
        return;
    }
    // An image may go, or register others, while it animates: walk a copy and skip those
    // no longer registered.
    const std::vector<XPageImage *> images = m_images;
    for (XPageImage *image : images) {
        if (std::find(m_images.begin(), m_images.end(), image) != m_images.end())
            image->OnImageAnimate();
    }
}
