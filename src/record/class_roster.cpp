#include "record/class_roster.h"
#include "record/statement_shapes.h"

#include <QSqlQuery>
#include <QVariant>

namespace sorelka::record {

namespace {

QStringList Column(QSqlQuery& q) {
    QStringList values;
    while (q.next()) values << q.value(0).toString();
    return values;
}

}  // namespace

QStringList ClassRoster::Classes() {
    if (!store_.Ready()) return {kFirstClassName};
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select name from classes order by id"))) return {kFirstClassName};
    return Column(q);
}

QString ClassRoster::ThisPcClass() {
    if (!store_.Ready()) return {};
    QSqlQuery q(store_.database());
    return q.exec(QStringLiteral("select name from classes where this_pc = 1 order by id limit 1")) && q.next()
               ? q.value(0).toString()
               : QString();
}

void ClassRoster::SetThisPcClass(const QString& name) {
    store_.Commit({{Sql(Shape::ClassThisPc), {name}}});
}

QString ClassRoster::ClassForNewPupils() {
    const QString own = ThisPcClass();
    if (!own.isEmpty()) return own;
    const QStringList all = Classes();
    return all.isEmpty() ? kFirstClassName : all.front();
}

bool ClassRoster::HasClass(const QString& name) {
    if (!store_.Ready()) return false;
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral("select 1 from classes where name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

QString ClassRoster::CheckedName(const QString& typed, QString* refusal) {
    const QString name = typed.trimmed();
    if (name.isEmpty())
        *refusal = QStringLiteral("クラスの名前を入れてください。");
    else if (name.size() > kLongestClassName)
        *refusal = QStringLiteral("クラスの名前は%1文字までです。").arg(kLongestClassName);
    else if (HasClass(name))
        *refusal = QStringLiteral("「%1」というクラスは、もうあります。").arg(name);
    return name;
}

QString ClassRoster::AddClass(const QString& typed) {
    QString refusal;
    const QString name = CheckedName(typed, &refusal);
    if (refusal.isEmpty())
        store_.Commit({{Sql(Shape::ClassAdd), {name}}});
    return refusal;
}

QString ClassRoster::RenameClass(const QString& name, const QString& typed) {
    if (typed.trimmed() == name) return {};
    QString refusal;
    const QString to = CheckedName(typed, &refusal);
    if (refusal.isEmpty())
        store_.Commit({{Sql(Shape::ClassRename), {to, name}}, {Sql(Shape::ClassRenamePupils), {to, name, to}}});
    return refusal;
}

QString ClassRoster::RemoveClass(const QString& name) {
    if (Classes().size() <= 1) return QStringLiteral("クラスが一つだけのときは、消せません。");
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral("select count(*) from pupils where class_name = ?"));
    q.addBindValue(name);
    if (q.exec() && q.next() && q.value(0).toInt() > 0)
        return QStringLiteral("「%1」には まだ %2人います。先に ほかのクラスへ移してください。")
            .arg(name)
            .arg(q.value(0).toInt());
    store_.Commit({{Sql(Shape::ClassRemove), {name}}});
    return {};
}

QString ClassRoster::MovePupil(const QString& pupil, const QString& to_class) {
    if (!HasClass(to_class)) return QStringLiteral("「%1」というクラスは ありません。").arg(to_class);
    store_.Commit({{Sql(Shape::PupilMove), {to_class, pupil}}});
    return {};
}

QString ClassRoster::ClassOf(const QString& pupil) {
    if (!store_.Ready()) return {};
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral("select class_name from pupils where name = ?"));
    q.addBindValue(pupil);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

std::vector<ClassRoster::Group> ClassRoster::PupilsByClass(bool with_archived) {
    std::vector<Group> groups;
    if (!store_.Ready()) return groups;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    // A pupil whose class is not in the roster (written by another program)
    // is listed under that name all the same, after the roster's classes.
    if (!q.exec(QStringLiteral("select p.class_name, p.name from pupils p left join classes c on c.name = p.class_name"
                               " where p.archived = 0 or %1"
                               " order by coalesce(c.this_pc, 0) desc, c.id is null, c.id, p.class_name, p.id")
                    .arg(with_archived ? 1 : 0)))
        return groups;
    while (q.next()) {
        const QString class_name = q.value(0).toString();
        if (groups.empty() || groups.back().class_name != class_name) groups.push_back({class_name, {}});
        groups.back().pupils << q.value(1).toString();
    }
    return groups;
}

}  // namespace sorelka::record
