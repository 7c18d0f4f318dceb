// PeopleJson: people as draft entries.
#include "ui/controller/write/PeopleJson.h"

#include <QJsonObject>

namespace oa {

QJsonArray peopleToJson(const std::vector<std::shared_ptr<UserVO>>& people) {
    QJsonArray out;
    for (const auto& person : people) {
        if (!person) {
            continue;
        }
        out.append(QJsonObject{
            {QStringLiteral("user_id"), QString::fromStdString(person->user_id.value_or(""))},
            {QStringLiteral("user_uid"), QString::fromStdString(person->user_uid.value_or(""))},
            {QStringLiteral("user_name"), QString::fromStdString(person->user_name.value_or(""))}});
    }
    return out;
}

std::vector<std::shared_ptr<UserVO>> peopleFromJson(const QJsonArray& array) {
    std::vector<std::shared_ptr<UserVO>> out;
    for (const QJsonValue& value : array) {
        if (!value.isObject()) {
            continue;
        }
        const QJsonObject object = value.toObject();
        auto person = std::make_shared<UserVO>();
        person->user_id = object.value(QStringLiteral("user_id")).toString().toStdString();
        person->user_uid = object.value(QStringLiteral("user_uid")).toString().toStdString();
        person->user_name = object.value(QStringLiteral("user_name")).toString().toStdString();
        out.push_back(std::move(person));
    }
    return out;
}

}  // namespace oa
