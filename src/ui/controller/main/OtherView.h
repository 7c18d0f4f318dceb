// OtherView: the "more" page of the main index: the network environments and trusted
// certificates rows, the push channel's state with its self-test, the client and server
// versions, the "新消息通知" switch, and the sign-out button "注      销".
#pragma once

#include <QWidget>

#include "ui/kit/TableView.h"

class QPushButton;

namespace oa {

class OtherService;

class OtherView : public QWidget, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr char kClientVersion[] = "2013.07.01";
    static constexpr char kSignOut[] = "注      销";
    static constexpr char kTrustedCertificates[] = "受信任的证书";
    static constexpr char kPushChannel[] = "推送通道";
    static constexpr char kNewsNotices[] = "新消息通知";
    static constexpr char kPushUp[] = "正常";
    static constexpr char kPushDown[] = "未连接";
    // With the port: another client of this machine (another home) gets the pushes.
    static constexpr char kPushPortHeld[] = "端口 %1 被另一客户端占用";
    static constexpr char kPushTesting[] = "正在检测...";
    static constexpr char kPushTestPassed[] = "推送通道正常";
    // With the IM port in use.
    static constexpr char kPushTestFailed[] = "推送通道无响应：请检查服务器的 IM 端口 %1 是否可达";

    explicit OtherView(QWidget* parent = nullptr);
    ~OtherView() override;

    // The main index; not owned.
    OtherService* other_delegate() const { return other_delegate_; }
    void setOther_delegate(OtherService* delegate) { other_delegate_ = delegate; }

    // Builds the table and the button.
    void createView();
    // The sign-out button.
    void returnRoot();

    TableView* tableView() const { return table_; }
    QPushButton* signOutButton() const { return signOut_; }

    int numberOfSectionsInTableView(TableView* tableView) override;
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    // The first group's rows open the network environments and the trusted certificates
    // screens, the third tests the push channel; the others do nothing.
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The push channel's state is shown anew each time the page is.
    void showEvent(QShowEvent* event) override;

private:
    // Sends the login datagram and reports on the progress indicator whether the IM service
    // answered; the row's state is shown anew afterwards.
    void testPushChannel();

    OtherService* other_delegate_ = nullptr;
    TableView* table_ = nullptr;
    QPushButton* signOut_ = nullptr;
};

}  // namespace oa
