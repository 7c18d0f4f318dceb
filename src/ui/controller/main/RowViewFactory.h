// The row views by class name and by module key: the list-view column of the module catalogue,
// one creator per class name.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/controller/main/BaseView.h"

namespace oa {

// Main thread only, like the views it makes.
class RowViewFactory {
public:
    using Creator = std::function<std::unique_ptr<BaseView>()>;

    // A view of the class `className`; null when no such class is registered.
    static std::unique_ptr<BaseView> create(std::string_view className);
    // The row view of a module key (EmailView for "email", NotifyView for "notify" and
    // "workflow", FileView for both cabinets, ...); null for a key outside the catalogue or whose
    // class is not registered.
    static std::unique_ptr<BaseView> createForModule(std::string_view key);
    // Makes `className` known, replacing an earlier creator of that name. The row views of the
    // lookup screens ("AddressView", "TelNoView") are registered this way; the module row views
    // of this folder are known from the start.
    static void registerClass(std::string className, Creator creator);
};

}  // namespace oa
