#include "early_offices.h"

#include <algorithm>
#include <deque>

namespace word {
namespace {

std::deque<std::unique_ptr<OfficeProcess>>& waiting()
{
    static std::deque<std::unique_ptr<OfficeProcess>> offices;
    return offices;
}

// Offices that ended without asking for a restart, or whose restart failed.
void dropUnusable()
{
    std::erase_if(waiting(), [](const auto& office) { return !office->usable(); });
}

} // namespace

void early_offices::fill(int count)
{
    dropUnusable();
    while (static_cast<int>(waiting().size()) < count) {
        try {
            auto office = std::make_unique<OfficeProcess>();
            office->restartWhenAsked();
            waiting().push_back(std::move(office));
        } catch (const std::exception&) {
            return;
        }
    }
}

std::unique_ptr<OfficeProcess> early_offices::take()
{
    dropUnusable();
    if (waiting().empty()) {
        return {};
    }
    auto office = std::move(waiting().front());
    waiting().pop_front();
    office->stopRestartingWhenAsked();
    return office;
}

std::unique_ptr<OfficeProcess> early_offices::takeListening()
{
    dropUnusable();
    const auto found = std::find_if(waiting().begin(), waiting().end(),
                                    [](const auto& office) { return office->listening(); });
    if (found == waiting().end()) {
        return {};
    }
    auto office = std::move(*found);
    waiting().erase(found);
    office->stopRestartingWhenAsked();
    return office;
}

int early_offices::count()
{
    dropUnusable();
    return static_cast<int>(waiting().size());
}

void early_offices::clear()
{
    waiting().clear();
}

} // namespace word
