// TelNoView: the area-code and post-code lookup: a place-name field, an area-code field and a
// post-code field, searched with "查询" on the host's bar; the places found open at once in the
// place list, also when there are none. Editing the post code moves the form up out of the
// keyboard's way.
#pragma once

#include <QPointer>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/LookupNotifications.h"
#include "ui/controller/lookup/OtherBaseView.h"

class QPropertyAnimation;

namespace oa {

class TextField;

class TelNoView : public OtherBaseView {
    Q_OBJECT
public:
    using Places = TelNoSearchNotification::Object;

    // The post-code field's tag; editing it lifts the form by kLift points.
    static constexpr int kPostTag = 101;
    static constexpr int kLift = 140;

    explicit TelNoView(QWidget* parent = nullptr);
    ~TelNoView() override;

    void createView() override;

    TextField* city_txt() const { return city_txt_; }
    TextField* code_txt() const { return code_txt_; }
    TextField* post_txt() const { return post_txt_; }
    // The form that moves up while the post code is edited.
    QWidget* form() const { return form_; }

    // "查询": searches the three fields' texts, unless a search already runs (a second press
    // while the first is under way would open the place list twice).
    void search();
    bool isSearching() const { return searching_; }
    // The places of a search: opens the place list. Main thread only.
    void result(Places places);
    // Moves the form back and ends editing (the return key, a touch outside the fields).
    void restoreForm();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void moveForm(int y);

    QWidget* form_ = nullptr;
    TextField* city_txt_ = nullptr;
    TextField* code_txt_ = nullptr;
    TextField* post_txt_ = nullptr;
    QPointer<QPropertyAnimation> move_;
    bool searching_ = false;  // Main thread only.
    ObserverToken result_;    // reset first when the view goes
};

}  // namespace oa
