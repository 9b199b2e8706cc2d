#include "record/roster_import.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <optional>

#include "record/class_roster.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "record/statement_shapes.h"

namespace sorelka::record {

QString RosterImported::Text() const {
    return QStringLiteral("名簿を読みこみました: クラス %1 つ追加、%2 人追加、%3 人変更、%4 人が名簿からいなくなりました（おやすみにしました）。")
        .arg(classes_added)
        .arg(pupils_added)
        .arg(pupils_changed)
        .arg(pupils_gone);
}

namespace {

struct LocalPupil {
    qint64 id = 0;
    QString name, reading, class_name, source_id;
    bool archived = false;
};

std::vector<LocalPupil> LocalPupils(RecordStore& store) {
    std::vector<LocalPupil> pupils;
    if (!store.Ready()) return pupils;
    QSqlQuery q(store.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select id, name, coalesce(reading, ''), class_name, coalesce(source_id, ''), archived"
                               " from pupils order by id")))
        return pupils;
    while (q.next())
        pupils.push_back({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                          q.value(3).toString(), q.value(4).toString(), q.value(5).toInt() != 0});
    return pupils;
}

}  // namespace

bool ImportRoster(RecordStore& store, const exchange::Roster& roster, RosterImported* done, QString* refusal) {
    *done = {};
    // The names as the record keeps them, each once.
    QHash<QString, QString> class_of_name;
    std::vector<QString> names;
    for (const exchange::RosterPupil& p : roster.pupils) {
        const NameCheck check = CheckPupilName(p.name);
        if (!check.ok()) {
            *refusal = QStringLiteral("「%1」（%2）: %3").arg(p.name, p.class_name, check.refusal);
            return false;
        }
        if (class_of_name.contains(check.name)) {
            *refusal = QStringLiteral("「%1」という子が %2 と %3 にいます。このPCの記録は名前で子を見分けるので、"
                                      "読みこめません。どちらかの名前を変えてください。")
                           .arg(check.name, class_of_name.value(check.name), p.class_name);
            return false;
        }
        class_of_name.insert(check.name, p.class_name);
        names.push_back(check.name);
    }

    Transaction writes;
    const QStringList classes = ClassRoster(store).Classes();
    for (const exchange::RosterClass& c : roster.classes)
        if (!classes.contains(c.name)) {
            writes.push_back({Sql(Shape::ClassAdd), {c.name}});
            ++done->classes_added;
        }

    std::vector<LocalPupil> local = LocalPupils(store);
    QHash<QString, std::size_t> by_source, by_name;
    for (std::size_t i = 0; i < local.size(); ++i) {
        if (!local[i].source_id.isEmpty()) by_source.insert(local[i].source_id, i);
        by_name.insert(local[i].name, i);
    }
    // Which of this PC's pupils each of the list's is: by the list's id,
    // else one of the same name that no list has claimed.
    QSet<qint64> matched;
    std::vector<std::optional<std::size_t>> match(roster.pupils.size());
    for (std::size_t k = 0; k < roster.pupils.size(); ++k)
        if (const auto s = by_source.constFind(roster.pupils[k].source_id); s != by_source.constEnd()) {
            match[k] = *s;
            matched.insert(local[*s].id);
        }
    for (std::size_t k = 0; k < roster.pupils.size(); ++k)
        if (const auto n = by_name.constFind(names[k]); !match[k] && n != by_name.constEnd() &&
                                                        local[*n].source_id.isEmpty() && !matched.contains(local[*n].id)) {
            match[k] = *n;
            matched.insert(local[*n].id);
        }
    // Names change in two steps, each pupil first to a name of its own id,
    // so that two pupils may swap names; a pupil of this PC the list does
    // not have gives up a name the list needs ("（前）" added).
    QSet<QString> wanted(names.begin(), names.end());
    std::vector<std::size_t> changed;
    for (std::size_t k = 0; k < roster.pupils.size(); ++k) {
        if (!match[k]) continue;
        const LocalPupil& mine = local[*match[k]];
        const exchange::RosterPupil& p = roster.pupils[k];
        if (mine.name == names[k] && mine.reading == p.reading && mine.class_name == p.class_name &&
            mine.source_id == p.source_id && !mine.archived)
            continue;
        changed.push_back(k);
        if (mine.name != names[k])
            writes.push_back({Sql(Shape::PupilImportChange), {QStringLiteral("#%1").arg(mine.id), mine.reading,
                                                              mine.class_name, QVariant(), mine.id}});
    }
    for (const LocalPupil& mine : local)
        if (!matched.contains(mine.id) && wanted.contains(mine.name))
            writes.push_back({Sql(Shape::PupilImportChange),
                              {mine.name + QStringLiteral("（前）"), mine.reading, mine.class_name,
                               mine.source_id.isEmpty() ? QVariant() : QVariant(mine.source_id), mine.id}});
    for (std::size_t k : changed) {
        const exchange::RosterPupil& p = roster.pupils[k];
        writes.push_back({Sql(Shape::PupilImportChange), {names[k], p.reading, p.class_name, p.source_id,
                                                          local[*match[k]].id}});
        ++done->pupils_changed;
    }
    for (std::size_t k = 0; k < roster.pupils.size(); ++k)
        if (!match[k]) {
            const exchange::RosterPupil& p = roster.pupils[k];
            writes.push_back({Sql(Shape::PupilImportAdd), {names[k], p.reading, p.class_name, p.source_id}});
            ++done->pupils_added;
        }
    // Pupils the list brought once and no longer has: at rest, answers kept.
    for (const LocalPupil& mine : local)
        if (!mine.source_id.isEmpty() && !mine.archived && !matched.contains(mine.id)) {
            writes.push_back({Sql(Shape::PupilImportGone), {mine.id}});
            ++done->pupils_gone;
        }
    if (writes.empty()) return true;
    if (store.Commit(std::move(writes)) == RecordStore::Result::Refused) {
        *refusal = QStringLiteral("記録のファイルが名簿を受けつけませんでした。");
        return false;
    }
    return true;
}

}  // namespace sorelka::record
