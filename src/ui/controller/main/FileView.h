// FileView: the row of a file cabinet entry (a file, a folder or the back row): the type icon,
// the name, the time below, the attachment mark.
#pragma once

#include <QString>

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/BaseView.h"

namespace oa {

class FileView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a FileVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;

    // The image resource (type "png") of the entry's type icon: the back row's own, else by type
    // and extension. Extensions are compared exactly: "PDF" is not "pdf".
    static QString iconName(const FileVO& file);
};

}  // namespace oa
