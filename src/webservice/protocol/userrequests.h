#pragma once
// Account requests: xAuth sign-in, user data, account creation, password reset and the merge of users.
#include "webservice/protocol/servicerequest.h"

namespace SonveroProtocol {

// POST oauth/access_token. Two forms: e-mail and password, or a service user id with proof that the caller
// may act for that user (the user's current access token, or a social-login provider token bound to it).
class CXAuthAuthorizationRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CXAuthAuthorizationRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& email,
                                const QString& password)
    {
        CXAuthAuthorizationRequest* request = nullptr;
        return Drelk::SetGuard(guard, CreateWithPassword(receiver, slot, email, password, &request), request);
    }
    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& userId,
                                const CXAuthData& access = CXAuthData(), const QString& providerToken = QString())
    {
        CXAuthAuthorizationRequest* request = nullptr;
        return Drelk::SetGuard(guard, CreateWithUserId(receiver, slot, userId, access, providerToken, &request),
                               request);
    }
    static HRESULT CreateWithPassword(QObject* receiver, const char* slot, const QString& email,
                                      const QString& password, CXAuthAuthorizationRequest** request);
    static HRESULT CreateWithUserId(QObject* receiver, const char* slot, const QString& userId,
                                    const CXAuthData& access, const QString& providerToken,
                                    CXAuthAuthorizationRequest** request);

    HRESULT ModifyWithPassword(const QString& email, const QString& password);
    HRESULT ModifyWithUserId(const QString& userId, const CXAuthData& access, const QString& providerToken);

signals:
    void WhenCompleted(int result, const SonveroProtocol::CXAuthData& data);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CXAuthData m_data;
};

// GET v2/users by e-mail or by a list of ids.
class CV2GetUserDataRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2GetUserDataRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequestWithEmail(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                         const QString& email)
    {
        CV2GetUserDataRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, email, QStringList(), &request), request);
    }
    template <class TGuard>
    static HRESULT StartRequestWithId(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                      const QStringList& ids)
    {
        CV2GetUserDataRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, QString(), ids, &request), request);
    }
    // Exactly one of email and ids is used (ids when email is empty).
    static HRESULT Create(QObject* receiver, const char* slot, const QString& email, const QStringList& ids,
                          CV2GetUserDataRequest** request);

    HRESULT Modify(const QString& email, const QStringList& ids);

signals:
    void WhenCompleted(int result, const QList<SonveroProtocol::CUserData>& users);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    QList<CUserData> m_users;
};

// POST v2/users: an own account (e-mail, password, nick) or one for a social-login identity (e-mail, nick).
class CV2CreateUserRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2CreateUserRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& email,
                                const QString& password, const QString& nick)
    {
        CV2CreateUserRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, email, password, nick, false, &request), request);
    }
    template <class TGuard>
    static HRESULT StartRequestWithGigya(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                         const QString& email, const QString& nick)
    {
        CV2CreateUserRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, email, QString(), nick, true, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& email, const QString& password,
                          const QString& nick, bool social, CV2CreateUserRequest** request);

    HRESULT Modify(const QString& email, const QString& password, const QString& nick, bool social);

signals:
    void WhenCompleted(int result, const QString& userId);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    QString m_userId;
};

// POST v2/users/resetpassword.
class CV2ResetPasswordRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2ResetPasswordRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& email)
    {
        CV2ResetPasswordRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, email, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& email,
                          CV2ResetPasswordRequest** request);

    HRESULT Modify(const QString& email);

signals:
    void WhenCompleted(int result);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;
};

// POST v2/users/merge: the service user of a social-login identity joins the signed-in account.
class CV2MergeUsersRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2MergeUsersRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                const QString& providerUserId, const CXAuthData& access)
    {
        CV2MergeUsersRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, providerUserId, access, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& providerUserId,
                          const CXAuthData& access, CV2MergeUsersRequest** request);

    HRESULT Modify(const QString& providerUserId, const CXAuthData& access);

signals:
    void WhenCompleted(int result);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;
};

} // namespace SonveroProtocol
