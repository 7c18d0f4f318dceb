// TrustListController: "受信任的证书", the servers whose own certificate the user trusted, one
// row each (address, subject and public-key fingerprint) with a button that forgets it.
#pragma once

#include <string>
#include <vector>

#include "core/session/TrustPlist.h"
#include "ui/kit/TableView.h"
#include "ui/kit/ViewController.h"

namespace oa {

class TrustListController : public ViewController,
                            public TableViewDataSource,
                            public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr char kTitle[] = "受信任的证书";
    static constexpr char kEmpty[] = "没有受信任的证书";
    static constexpr char kRemove[] = "删除";
    static constexpr qreal kRowHeight = 64;

    explicit TrustListController(QObject* parent = nullptr);
    ~TrustListController() override;

    // The entries as listed now.
    const std::vector<TrustedServer>& entries() const { return entries_; }
    // Forgets the server and lists the file anew; false when it could not be removed.
    bool removeEntry(const std::string& hostPort);
    // Reads the trust file again.
    void reload();

    TableView* tableView() const { return table_; }

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    std::vector<TrustedServer> entries_;
    TableView* table_ = nullptr;
};

}  // namespace oa
