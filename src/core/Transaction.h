#pragma once

class Connection;

// All or nothing: what is written while it lives is kept only when commit() is reached; leaving
// the scope any other way (an error on the way) rolls it back.
class Transaction
{
public:
    // Both throw QirvoError when the database refuses.
    explicit Transaction(Connection& connection);
    void commit();
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connection& m_connection;
    bool m_open = true;
};
