<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CCoreInterfaceLanguage</name>
    <message>
        <source>Afrikaans</source>
        <translation>Африкаанс</translation>
    </message>
    <message>
        <source>Albanian</source>
        <translation>Албанский</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Арабский</translation>
    </message>
    <message>
        <source>Belarusian</source>
        <translation>Белорусский</translation>
    </message>
    <message>
        <source>Bulgarian</source>
        <translation>Болгарский</translation>
    </message>
    <message>
        <source>Catalan</source>
        <translation>Каталанский</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Китайский</translation>
    </message>
    <message>
        <source>Chinese (Simplified)</source>
        <translation>Китайский (упрощённый)</translation>
    </message>
    <message>
        <source>Chinese (Traditional)</source>
        <translation>Китайский (традиционный)</translation>
    </message>
    <message>
        <source>Croatian</source>
        <translation>Хорватский</translation>
    </message>
    <message>
        <source>Czech</source>
        <translation>Чешский</translation>
    </message>
    <message>
        <source>Danish</source>
        <translation>Датский</translation>
    </message>
    <message>
        <source>Dutch</source>
        <translation>Нидерландский</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Estonian</source>
        <translation>Эстонский</translation>
    </message>
    <message>
        <source>Finnish</source>
        <translation>Финский</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Французский</translation>
    </message>
    <message>
        <source>Galician</source>
        <translation>Галисийский</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Немецкий</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Греческий</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Иврит</translation>
    </message>
    <message>
        <source>Hindi</source>
        <translation>Хинди</translation>
    </message>
    <message>
        <source>Hungarian</source>
        <translation>Венгерский</translation>
    </message>
    <message>
        <source>Icelandic</source>
        <translation>Исландский</translation>
    </message>
    <message>
        <source>Indonesian</source>
        <translation>Индонезийский</translation>
    </message>
    <message>
        <source>Irish</source>
        <translation>Ирландский</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Итальянский</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Японский</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Корейский</translation>
    </message>
    <message>
        <source>Latvian</source>
        <translation>Латышский</translation>
    </message>
    <message>
        <source>Lithuanian</source>
        <translation>Литовский</translation>
    </message>
    <message>
        <source>Macedonian</source>
        <translation>Македонский</translation>
    </message>
    <message>
        <source>Malay</source>
        <translation>Малайский</translation>
    </message>
    <message>
        <source>Maltese</source>
        <translation>Мальтийский</translation>
    </message>
    <message>
        <source>Norwegian</source>
        <translation>Норвежский</translation>
    </message>
    <message>
        <source>Persian</source>
        <translation>Персидский</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Польский</translation>
    </message>
    <message>
        <source>Portuguese (Portugal)</source>
        <translation>Португальский (Португалия)</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Румынский</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Serbian</source>
        <translation>Сербский</translation>
    </message>
    <message>
        <source>Slovak</source>
        <translation>Словацкий</translation>
    </message>
    <message>
        <source>Slovenian</source>
        <translation>Словенский</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Испанский</translation>
    </message>
    <message>
        <source>Swahili</source>
        <translation>Суахили</translation>
    </message>
    <message>
        <source>Swedish</source>
        <translation>Шведский</translation>
    </message>
    <message>
        <source>Filipino</source>
        <translation>Филиппинский</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Тайский</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Турецкий</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Украинский</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Вьетнамский</translation>
    </message>
    <message>
        <source>Welsh</source>
        <translation>Валлийский</translation>
    </message>
    <message>
        <source>Yiddish</source>
        <translation>Идиш</translation>
    </message>
    <message>
        <source>Interface Language</source>
        <translation>Язык интерфейса</translation>
    </message>
</context>
<context>
    <name>CErrorMsgHelper</name>
    <message>
        <source>The folder could not be found.</source>
        <translation>Папка не найдена.</translation>
    </message>
    <message>
        <source>A file is in the way of a folder.</source>
        <translation>На месте папки находится файл.</translation>
    </message>
    <message>
        <source>The song has no file on this computer.</source>
        <translation>У песни нет файла на этом компьютере.</translation>
    </message>
    <message>
        <source>The song file is missing.</source>
        <translation>Файл песни отсутствует.</translation>
    </message>
    <message>
        <source>The file on the device has no name.</source>
        <translation>У файла на устройстве нет имени.</translation>
    </message>
    <message>
        <source>The file on the device is missing.</source>
        <translation>Файл на устройстве отсутствует.</translation>
    </message>
    <message>
        <source>A folder is in the way of a file.</source>
        <translation>На месте файла находится папка.</translation>
    </message>
    <message>
        <source>The playlist file could not be created.</source>
        <translation>Не удалось создать файл списка воспроизведения.</translation>
    </message>
    <message>
        <source>No device is connected.</source>
        <translation>Устройство не подключено.</translation>
    </message>
    <message>
        <source>The device was disconnected or changed.</source>
        <translation>Устройство было отключено или заменено.</translation>
    </message>
    <message>
        <source>Canceled</source>
        <translation>Отменено</translation>
    </message>
    <message>
        <source>The device has no storage.</source>
        <translation>У устройства нет памяти.</translation>
    </message>
    <message>
        <source>There is not enough free space.</source>
        <translation>Недостаточно свободного места.</translation>
    </message>
    <message>
        <source>The player is not running.</source>
        <translation>Проигрыватель не запущен.</translation>
    </message>
    <message>
        <source>The player is busy. Please try again later.</source>
        <translation>Проигрыватель занят. Повторите попытку позже.</translation>
    </message>
    <message>
        <source>The player has shut down.</source>
        <translation>Проигрыватель завершил работу.</translation>
    </message>
    <message>
        <source>No player is available.</source>
        <translation>Нет доступного проигрывателя.</translation>
    </message>
    <message>
        <source>The playlist is empty.</source>
        <translation>Список воспроизведения пуст.</translation>
    </message>
    <message>
        <source>The playlist changed meanwhile. Please try again.</source>
        <translation>Список воспроизведения тем временем изменился. Повторите попытку.</translation>
    </message>
    <message>
        <source>The player's library has shut down.</source>
        <translation>Библиотека проигрывателя завершила работу.</translation>
    </message>
    <message>
        <source>No player is active.</source>
        <translation>Нет активного проигрывателя.</translation>
    </message>
    <message>
        <source>You have not signed in to this network yet.</source>
        <translation>Вы ещё не входили в эту сеть.</translation>
    </message>
    <message>
        <source>You are signed out of this network.</source>
        <translation>Вы вышли из этой сети.</translation>
    </message>
    <message>
        <source>The service did not accept your credentials or data.</source>
        <translation>Сервис не принял ваши учётные данные или данные.</translation>
    </message>
    <message>
        <source>A network error occurred.</source>
        <translation>Произошла сетевая ошибка.</translation>
    </message>
    <message>
        <source>The server answered with an error.</source>
        <translation>Сервер ответил ошибкой.</translation>
    </message>
    <message>
        <source>The server's answer could not be read.</source>
        <translation>Не удалось прочитать ответ сервера.</translation>
    </message>
    <message>
        <source>The server did not answer in time.</source>
        <translation>Сервер не ответил вовремя.</translation>
    </message>
    <message>
        <source>The service reported an error.</source>
        <translation>Сервис сообщил об ошибке.</translation>
    </message>
    <message>
        <source>There is no internet connection.</source>
        <translation>Нет подключения к Интернету.</translation>
    </message>
    <message>
        <source>The song is empty.</source>
        <translation>Песня пуста.</translation>
    </message>
    <message>
        <source>The song has no title or artist.</source>
        <translation>У песни нет названия или исполнителя.</translation>
    </message>
    <message>
        <source>The content could not be found.</source>
        <translation>Содержимое не найдено.</translation>
    </message>
    <message>
        <source>An internal error occurred! Please contact us.</source>
        <translation>Произошла внутренняя ошибка! Пожалуйста, свяжитесь с нами.</translation>
    </message>
    <message>
        <source>An internal error occurred (code %1)! Please contact us.</source>
        <translation>Произошла внутренняя ошибка (код %1)! Пожалуйста, свяжитесь с нами.</translation>
    </message>
</context>
</TS>
