// A tab page as a window: the page's dialog procedure hands every message
// to its PageWindow. Pages whose behaviour is built later keep the base
// class, which loads and stores nothing and handles no message; the page
// code plugs in by registering a factory before the main window is created.
#ifndef ZELO_APP_PAGE_WINDOW_WIN_H
#define ZELO_APP_PAGE_WINDOW_WIN_H

#include <windows.h>

#include <memory>

#include "page.h"
#include "worker_tasks.h"

namespace zelo::app {

class PageWindow : public Page {
public:
    // The page's dialog messages; WM_INITDIALOG arrives with the window
    // already attached. FALSE when not handled.
    virtual INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    // The IR status the poll reported while the IR tab is selected.
    virtual void irStatus(const IrStatusRecord &record);

    HWND window() const { return window_; }
    void attach(HWND window) { window_ = window; }

private:
    HWND window_ = nullptr;
};

using PageFactory = std::unique_ptr<PageWindow> (*)();

// The page that the main window creates at index; without a factory, a
// PageWindow without behaviour.
void setPageFactory(PageIndex index, PageFactory factory);

}  // namespace zelo::app

#endif
