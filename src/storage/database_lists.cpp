#include "storage/database.h"
#include "storage/database_statement.h"

// Radio favorites and podcast subscriptions: two lists the user may order by hand.
namespace kestrel {

using database::Statement;

namespace {

// Numbers the rows 1..n in the given order inside one transaction: either every row gets its
// number or none does, so a failure never leaves a half-renumbered list.
template <typename Row>
bool NumberRows(const char* sql, const std::vector<Row>& ordered) {
  database::Transaction transaction;
  if (!transaction.ok()) return false;
  Statement statement(sql);
  if (!statement.ok()) return false;
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    statement.Reset();
    if (!statement.Bind(1, static_cast<int>(i + 1)).Bind(2, ordered[i].id).Run()) return false;
  }
  return transaction.Commit();
}

}  // namespace

int AddRadioFavorite(const std::string& name, const std::string& url) {
  Statement statement(
      "INSERT INTO radio_favorites (name, url, created, sort_order) VALUES (?, ?, ?, (SELECT CASE "
      "WHEN MAX(sort_order) > 0 THEN MAX(sort_order) + 1 ELSE 0 END FROM radio_favorites));");
  if (!statement.Bind(1, name).Bind(2, url).Bind(3, database::Now()).Run()) return -1;
  return static_cast<int>(sqlite3_last_insert_rowid(database::Connection()));
}

bool DeleteRadioFavorite(int id) {
  Statement statement("DELETE FROM radio_favorites WHERE id = ?;");
  return statement.Bind(1, id).Run();
}

bool UpdateRadioFavorite(int id, const std::string& name, const std::string& url) {
  Statement statement("UPDATE radio_favorites SET name = ?, url = ? WHERE id = ?;");
  return statement.Bind(1, name).Bind(2, url).Bind(3, id).Run();
}

std::vector<RadioFavorite> ListRadioFavorites() {
  Statement statement(
      "SELECT id, name, url, created, sort_order FROM radio_favorites ORDER BY sort_order ASC, "
      "name COLLATE NOCASE ASC;");
  std::vector<RadioFavorite> favorites;
  while (statement.Step() == SQLITE_ROW) {
    RadioFavorite& favorite = favorites.emplace_back();
    favorite.id = statement.Int(0);
    favorite.name = statement.Text(1);
    favorite.url = statement.Text(2);
    favorite.created = statement.Int64(3);
    favorite.sort_order = statement.Int(4);
  }
  return favorites;
}

bool SetRadioFavoriteOrder(const std::vector<RadioFavorite>& ordered) {
  return NumberRows("UPDATE radio_favorites SET sort_order = ? WHERE id = ?;", ordered);
}

bool ResetRadioFavoriteOrder() {
  return database::Execute("UPDATE radio_favorites SET sort_order = 0;");
}

int AddSubscription(const std::string& name, const std::string& feed_url,
                    const std::string& image_url) {
  Statement statement(
      "INSERT INTO podcast_subscriptions (name, feed_url, image_url, last_updated, sort_order) "
      "VALUES (?, ?, ?, ?, (SELECT CASE WHEN MAX(sort_order) > 0 THEN MAX(sort_order) + 1 ELSE 0 "
      "END FROM podcast_subscriptions));");
  if (!statement.Bind(1, name).Bind(2, feed_url).Bind(3, image_url).Bind(4, database::Now()).Run()) {
    return -1;
  }
  return static_cast<int>(sqlite3_last_insert_rowid(database::Connection()));
}

bool DeleteSubscription(int id) {
  Statement statement("DELETE FROM podcast_subscriptions WHERE id = ?;");
  return statement.Bind(1, id).Run();
}

bool TouchSubscription(int id) {
  Statement statement("UPDATE podcast_subscriptions SET last_updated = ? WHERE id = ?;");
  return statement.Bind(1, database::Now()).Bind(2, id).Run();
}

std::vector<PodcastSubscription> ListSubscriptions() {
  Statement statement(
      "SELECT id, name, feed_url, image_url, last_updated, sort_order FROM podcast_subscriptions "
      "ORDER BY sort_order ASC, name COLLATE NOCASE ASC;");
  std::vector<PodcastSubscription> subscriptions;
  while (statement.Step() == SQLITE_ROW) {
    PodcastSubscription& subscription = subscriptions.emplace_back();
    subscription.id = statement.Int(0);
    subscription.name = statement.Text(1);
    subscription.feed_url = statement.Text(2);
    subscription.image_url = statement.Text(3);
    subscription.last_updated = statement.Int64(4);
    subscription.sort_order = statement.Int(5);
  }
  return subscriptions;
}

bool SetSubscriptionOrder(const std::vector<PodcastSubscription>& ordered) {
  return NumberRows("UPDATE podcast_subscriptions SET sort_order = ? WHERE id = ?;", ordered);
}

bool ResetSubscriptionOrder() {
  return database::Execute("UPDATE podcast_subscriptions SET sort_order = 0;");
}

}  // namespace kestrel
