#include "watch/watchwindowpresenter.h"

#include "watch/headlesswatchwindowpresenter.h"

namespace {
std::shared_ptr<WatchWindowPresenter>& sharedPresenter()
{
    static std::shared_ptr<WatchWindowPresenter> presenter =
        std::make_shared<HeadlessWatchWindowPresenter>();
    return presenter;
}
} // namespace

std::shared_ptr<WatchWindowPresenter> WatchWindowPresenter::shared()
{
    return sharedPresenter();
}

void WatchWindowPresenter::setShared(std::shared_ptr<WatchWindowPresenter> presenter)
{
    sharedPresenter() =
        presenter ? std::move(presenter) : std::make_shared<HeadlessWatchWindowPresenter>();
}
