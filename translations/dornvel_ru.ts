<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>dornvel::CensusDialog</name>
    <message>
        <source>OK</source>
        <translation>В порядке</translation>
    </message>
    <message>
        <source>exception %1</source>
        <translation>исключение %1</translation>
    </message>
    <message>
        <source>suspected duplicate id</source>
        <translation>вероятно, повторяющийся адрес</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Watch all</source>
        <translation>Наблюдать за всеми</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Meters on the line</source>
        <translation>Измерители на линии</translation>
    </message>
    <message>
        <source>Slave id</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Скорость, бод</translation>
    </message>
    <message>
        <source>Resistance, kΩ</source>
        <translation>Сопротивление, кОм</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>Переключатель</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Waiting for the running poll to finish…</source>
        <translation>Ожидание окончания текущего опроса…</translation>
    </message>
    <message>
        <source>Asking every slave id at both rates…</source>
        <translation>Опрашиваются все адреса на обеих скоростях…</translation>
    </message>
    <message>
        <source>Slave id %1 at %2 baud (%3 of %4)</source>
        <translation>Адрес %1 на скорости %2 бод (%3 из %4)</translation>
    </message>
    <message>
        <source>%1 was lost during the census.</source>
        <translation>%1 пропал во время переписи.</translation>
    </message>
    <message>
        <source>%1 is busy with an exchange; try again.</source>
        <translation>%1 занят обменом; попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>Meters at 9600 and at 19200 share this line.</source>
        <translation>На этой линии есть измерители и на 9600, и на 19200 бод.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>%1 meter(s) found on %2.</source>
        <translation>Найдено измерителей на %2: %1.</translation>
    </message>
</context>
<context>
    <name>dornvel::AssignCommand</name>
    <message>
        <source>Give the one meter on the line the slave id ID (1 to 247), then the baud rate of --rate, and verify it there; no window.</source>
        <translation>Дать единственному измерителю на линии адрес ID (от 1 до 247), затем скорость из --rate и проверить его на них; без окна.</translation>
    </message>
    <message>
        <source>The meter&apos;s new baud rate, 9600 or 19200 (with --assign).</source>
        <translation>Новая скорость обмена измерителя, 9600 или 19200 (с --assign).</translation>
    </message>
    <message>
        <source>Append the meter&apos;s row to FILE, a CSV report (with --assign).</source>
        <translation>Дописать строку измерителя в FILE, отчёт CSV (с --assign).</translation>
    </message>
    <message>
        <source>The resistance at or above which the meter passes, in kilohms (with --assign).</source>
        <translation>Сопротивление, начиная с которого измеритель годен, в килоомах (с --assign).</translation>
    </message>
    <message>
        <source>The resistance below which the meter fails, in kilohms (with --assign).</source>
        <translation>Сопротивление, ниже которого измеритель не годен, в килоомах (с --assign).</translation>
    </message>
    <message>
        <source>--assign needs --rate.</source>
        <translation>--assign требует --rate.</translation>
    </message>
    <message>
        <source>A threshold must be a number of kilohms.</source>
        <translation>Порог должен быть числом килоом.</translation>
    </message>
    <message>
        <source>Cannot write the report %1: %2</source>
        <translation>Не удаётся записать отчёт %1: %2</translation>
    </message>
    <message>
        <source>--%1 needs --assign.</source>
        <translation>--%1 требует --assign.</translation>
    </message>
</context>
<context>
    <name>dornvel::CommandLine</name>
    <message>
        <source>Tests and sets up an insulation-resistance meter on a Modbus RTU serial line:
polls its values once a second and shows them in a window, where the serial
port, the baud rate and the slave id are chosen.</source>
        <translation>Проверяет и настраивает измеритель сопротивления изоляции на последовательной
линии Modbus RTU: раз в секунду опрашивает его значения и показывает их в окне,
где выбираются последовательный порт, скорость обмена и адрес (slave id).</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Показать эту справку и выйти.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Показать версию и выйти.</translation>
    </message>
    <message>
        <source>Record the readings of every poll into FILE, a CSV file (appended to when it exists).</source>
        <translation>Записывать показания каждого опроса в FILE, файл CSV (дописывается, если он уже есть).</translation>
    </message>
    <message>
        <source>Open the trend window at start.</source>
        <translation>Открыть окно тренда при запуске.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Лишний аргумент «%1».</translation>
    </message>
    <message>
        <source>Meters on the line (Ctrl+L, or --list-meters) lists every meter that
answers, at 9600 and at 19200 baud.</source>
        <translation>Измерители на линии (Ctrl+L или --list-meters) перечисляет все
измерители, которые отвечают, на 9600 и на 19200 бод.</translation>
    </message>
    <message>
        <source>List every meter on the line as CSV (slave id, baud rate, resistance, switch, state) and exit: 0 when one or more answered, 1 when none, 2 when the port cannot be used. Needs no display.</source>
        <translation>Перечислить все измерители на линии в виде CSV (адрес, скорость, сопротивление, переключатель, состояние) и выйти: 0, если ответил хотя бы один, 1, если ни одного, 2, если порт недоступен. Дисплей не нужен.</translation>
    </message>
    <message>
        <source>The meters the bus view polls: slave ids and ranges, each at 9600 baud unless @19200 follows, e.g. 3,7,41,200@19200,10-20@9600.</source>
        <translation>Счётчики для опроса: адреса и диапазоны адресов, каждый на 9600 бод, если не указано @19200, например 3,7,41,200@19200,10-20@9600.</translation>
    </message>
    <message>
        <source>--meters: %1.</source>
        <translation>--meters: %1.</translation>
    </message>
    <message>
        <source>--meters goes with --bus.</source>
        <translation>--meters указывается с --bus.</translation>
    </message>
    <message>
        <source>--port goes with --list-meters, --assign or --bus.</source>
        <translation>--port указывается с --list-meters, --assign или --bus.</translation>
    </message>
    <message>
        <source>The port for --list-meters, --assign and --bus, Com1 to Com256 (the saved port when left out).</source>
        <translation>Порт для --list-meters, --assign и --bus, от Com1 до Com256 (если не указан, сохранённый).</translation>
    </message>
    <message>
        <source>Watch several meters on the line at once: one row each, polled in turn: those of --meters, else those a census finds.</source>
        <translation>Наблюдать за несколькими измерителями на линии сразу: по строке на каждый, опрос по очереди: измерители из --meters, иначе найденные переписью.</translation>
    </message>
    <message>
        <source>The window&apos;s tools, from a right click on it or by key: Find the meter
(Ctrl+F), Record readings (Ctrl+R, or --record), Trend (Ctrl+T, or
--trend) and Commission meters (or --assign, without a window).</source>
        <translation>Инструменты окна, по правому щелчку на нём или по клавишам: Найти измеритель
(Ctrl+F), Записывать показания (Ctrl+R или --record), Тренд (Ctrl+T или
--trend) и Ввод измерителей в работу (или --assign, без окна).</translation>
    </message>
</context>
<context>
    <name>dornvel::Commissioning</name>
    <message>
        <source>slave id %1 at %2 baud</source>
        <translation>адрес %1 на скорости %2</translation>
    </message>
    <message>
        <source>the baud-rate write</source>
        <translation>запись скорости обмена</translation>
    </message>
    <message>
        <source>the slave-id write</source>
        <translation>запись адреса</translation>
    </message>
    <message>
        <source>The meter answers neither at its old nor at its new settings; last known at %1</source>
        <translation>Измеритель не отвечает ни на старых, ни на новых настройках; последние известные: %1</translation>
    </message>
    <message>
        <source>no settings</source>
        <translation>нет настроек</translation>
    </message>
    <message>
        <source>The meter answers at %1</source>
        <translation>Измеритель отвечает: %1</translation>
    </message>
    <message>
        <source>The meter refused %1: set the jumper JP on the meter. %2.</source>
        <translation>Измеритель отказал в операции «%1»: установите перемычку JP на измерителе. %2.</translation>
    </message>
    <message>
        <source>The meter refused %1 with exception %2. %3.</source>
        <translation>Измеритель отказал в операции «%1» с исключением %2. %3.</translation>
    </message>
    <message>
        <source>The reply to %1 did not come. %2.</source>
        <translation>Ответ на операцию «%1» не пришёл. %2.</translation>
    </message>
    <message>
        <source>Nothing answers at the new settings. %1.</source>
        <translation>На новых настройках никто не отвечает. %1.</translation>
    </message>
    <message>
        <source>The slave id and baud rate read back are not the ones written.</source>
        <translation>Прочитанные адрес и скорость не совпадают с записанными.</translation>
    </message>
    <message>
        <source>The port closed during %1. %2.</source>
        <translation>Порт закрылся во время операции «%1». %2.</translation>
    </message>
    <message>
        <source>Stopped during %1. %2.</source>
        <translation>Остановлено во время операции «%1». %2.</translation>
    </message>
    <message>
        <source>Finding the meter…</source>
        <translation>Поиск измерителя…</translation>
    </message>
    <message>
        <source>Making sure no other meter answers…</source>
        <translation>Проверка, что другие измерители не отвечают…</translation>
    </message>
    <message>
        <source>Writing the slave id…</source>
        <translation>Запись адреса…</translation>
    </message>
    <message>
        <source>Writing the baud rate…</source>
        <translation>Запись скорости обмена…</translation>
    </message>
    <message>
        <source>Verifying the new settings…</source>
        <translation>Проверка новых настроек…</translation>
    </message>
    <message>
        <source>Reading the resistance and the switch…</source>
        <translation>Чтение сопротивления и переключателя…</translation>
    </message>
    <message>
        <source>The reply to %1 did not come, but the meter had taken it.</source>
        <translation>Ответ на операцию «%1» не пришёл, но измеритель её выполнил.</translation>
    </message>
    <message>
        <source>The resistance could not be read.</source>
        <translation>Сопротивление прочитать не удалось.</translation>
    </message>
    <message>
        <source>No meter answers on the line.</source>
        <translation>На линии не отвечает ни один измеритель.</translation>
    </message>
    <message>
        <source>More than one meter answers at %1 baud (also slave ids %2): connect one meter alone. Nothing was written.</source>
        <translation>На скорости %1 отвечает больше одного измерителя (ещё адреса %2): подключите один измеритель. Ничего не записано.</translation>
    </message>
    <message>
        <source>The slave id must be 1 to 247 and the baud rate 9600 or 19200. Nothing was sent.</source>
        <translation>Адрес должен быть от 1 до 247, а скорость 9600 или 19200. Ничего не отправлено.</translation>
    </message>
    <message>
        <source>Stopped before anything was written.</source>
        <translation>Остановлено до какой-либо записи.</translation>
    </message>
    <message>
        <source>The port could not be opened, or closed. Nothing was written.</source>
        <translation>Порт не открылся или закрылся. Ничего не записано.</translation>
    </message>
</context>
<context>
    <name>dornvel::CommissioningReport</name>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Pass: %1, warning: %2, fail: %3, not verified: %4</source>
        <translation>Годен: %1, предупреждение: %2, не годен: %3, не проверен: %4</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>Отчёт о вводе в работу</translation>
    </message>
    <message>
        <source>Baud rate: %1; prewarning: %2 kOhm; alarm: %3 kOhm</source>
        <translation>Скорость: %1; предупреждение: %2 кОм; авария: %3 кОм</translation>
    </message>
</context>
<context>
    <name>dornvel::CommissioningWindow</name>
    <message>
        <source>Connect the next meter alone, with the jumper JP set, and press Next</source>
        <translation>Подключите следующий измеритель один, с установленной перемычкой JP, и нажмите «Далее»</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Commission meters</source>
        <translation>Ввод измерителей в работу</translation>
    </message>
    <message>
        <source>First slave id</source>
        <translation>Первый адрес</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Скорость обмена</translation>
    </message>
    <message>
        <source>Prewarning, kOhm</source>
        <translation>Предупреждение, кОм</translation>
    </message>
    <message>
        <source>Alarm, kOhm</source>
        <translation>Авария, кОм</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Папка отчётов</translation>
    </message>
    <message>
        <source>Save report…</source>
        <translation>Сохранить отчёт…</translation>
    </message>
    <message>
        <source>Waiting for the line…</source>
        <translation>Ожидание линии…</translation>
    </message>
    <message>
        <source>The line is in use by another tool; press Next again.</source>
        <translation>Линию занял другой инструмент; нажмите «Далее» ещё раз.</translation>
    </message>
    <message>
        <source>Cannot write the report %1: %2</source>
        <translation>Не удаётся записать отчёт %1: %2</translation>
    </message>
    <message>
        <source>Cannot save the report %1: %2</source>
        <translation>Не удаётся сохранить отчёт %1: %2</translation>
    </message>
    <message>
        <source>Report saved: %1.csv, %1.pdf</source>
        <translation>Отчёт сохранён: %1.csv, %1.pdf</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Сохранение отчёта</translation>
    </message>
</context>
<context>
    <name>dornvel::CsvColumns</name>
    <message>
        <source>time</source>
        <translation>время</translation>
    </message>
    <message>
        <source>resistance_kohm</source>
        <translation>сопротивление_кОм</translation>
    </message>
    <message>
        <source>switch</source>
        <translation>переключатель</translation>
    </message>
    <message>
        <source>device_slave_id</source>
        <translation>адрес_устройства</translation>
    </message>
    <message>
        <source>device_baud_rate</source>
        <translation>скорость_устройства</translation>
    </message>
    <message>
        <source>errors</source>
        <translation>ошибки</translation>
    </message>
    <message>
        <source>message</source>
        <translation>сообщение</translation>
    </message>
    <message>
        <source>slave_id</source>
        <translation>адрес</translation>
    </message>
    <message>
        <source>baud_rate</source>
        <translation>скорость</translation>
    </message>
</context>
<context>
    <name>dornvel::DecadeAxis</name>
    <message>
        <source>Ω</source>
        <translation>Ом</translation>
    </message>
    <message>
        <source>kΩ</source>
        <translation>кОм</translation>
    </message>
    <message>
        <source>MΩ</source>
        <translation>МОм</translation>
    </message>
    <message>
        <source>GΩ</source>
        <translation>ГОм</translation>
    </message>
    <message>
        <source>TΩ</source>
        <translation>ТОм</translation>
    </message>
    <message>
        <source>≤ 0</source>
        <translation>≤ 0</translation>
    </message>
</context>
<context>
    <name>dornvel::DeviceCheck</name>
    <message>
        <source>a directory, not a serial device</source>
        <translation>это папка, а не последовательный порт</translation>
    </message>
    <message>
        <source>not a character device, so not a serial port</source>
        <translation>это не символьное устройство, значит, не последовательный порт</translation>
    </message>
    <message>
        <source>the device is in use: close the other program that uses it</source>
        <translation>устройство занято: закройте другую программу, которая его использует</translation>
    </message>
    <message>
        <source>add the user to the group that owns %1 (%2) and log in again</source>
        <translation>добавьте пользователя в группу, которой принадлежит %1 (%2), и войдите в систему заново</translation>
    </message>
    <message>
        <source>the port is in use: close the other program that uses it</source>
        <translation>порт занят: закройте другую программу, которая его использует</translation>
    </message>
</context>
<context>
    <name>dornvel::FormMain</name>
    <message>
        <source>%1, the port last used, is not there: %2. It is used as soon as it is.</source>
        <translation>%1, последний использованный порт, отсутствует: %2. Он будет использован, как только появится.</translation>
    </message>
    <message>
        <source>Polling paused while a tool uses the line</source>
        <translation>Опрос приостановлен, пока линией пользуется инструмент</translation>
    </message>
</context>
<context>
    <name>dornvel::ListMeters</name>
    <message>
        <source>--port takes Com1 to Com%1, not &apos;%2&apos;.</source>
        <translation>--port принимает значения от Com1 до Com%1, а не «%2».</translation>
    </message>
    <message>
        <source>No port is saved in the settings: give one with --port ComN.</source>
        <translation>В настройках не сохранён порт: укажите его через --port ComN.</translation>
    </message>
    <message>
        <source>asking slave id %1 at %2 baud (%3 of %4)</source>
        <translation>опрашивается адрес %1 на скорости %2 бод (%3 из %4)</translation>
    </message>
    <message>
        <source>meters at 9600 and at 19200 share this line</source>
        <translation>на этой линии есть измерители и на 9600, и на 19200 бод</translation>
    </message>
    <message>
        <source>slave id %1 at %2 baud answered only garbled, on a line too noisy to tell why</source>
        <translation>адрес %1 на скорости %2 бод отвечал только искажёнными ответами, а линия слишком зашумлена, чтобы понять причину</translation>
    </message>
    <message>
        <source>Com%1 was lost during the census.</source>
        <translation>Com%1 пропал во время переписи.</translation>
    </message>
    <message>
        <source>%1 meter(s) found in %2 s</source>
        <translation>найдено измерителей: %1 за %2 с</translation>
    </message>
</context>
<context>
    <name>dornvel::MeterSearchDialog</name>
    <message>
        <source>Slave id %1 at %2 baud (%3 of %4)</source>
        <translation>Адрес %1 на скорости %2 бод (%3 из %4)</translation>
    </message>
    <message>
        <source>Asking every slave id at both rates…</source>
        <translation>Опрашиваются все адреса на обеих скоростях…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Find the meter</source>
        <translation>Поиск измерителя</translation>
    </message>
    <message>
        <source>Meter found: slave id %1 at %2 baud. Use these settings?</source>
        <translation>Измеритель найден: адрес %1, скорость %2 бод. Использовать эти настройки?</translation>
    </message>
    <message>
        <source>No meter answered on %1: slave ids %2 to %3 were asked at %4 and %5 baud.</source>
        <translation>На %1 не ответил ни один измеритель: опрошены адреса с %2 по %3 на скоростях %4 и %5 бод.</translation>
    </message>
    <message>
        <source>%1 was lost during the search.</source>
        <translation>%1 пропал во время поиска.</translation>
    </message>
    <message>
        <source>%1 is busy with an exchange; try again.</source>
        <translation>%1 занят обменом; попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>Waiting for the running poll to finish…</source>
        <translation>Ожидание окончания текущего опроса…</translation>
    </message>
</context>
<context>
    <name>dornvel::QtSerialControl</name>
    <message>
        <source>No port is chosen: choose one in the list</source>
        <translation>Порт не выбран: выберите его в списке</translation>
    </message>
    <message>
        <source>no device is assigned to it; set DORNVEL_COM%1 to the path of one</source>
        <translation>ему не назначено устройство; укажите путь к устройству в DORNVEL_COM%1</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Не удаётся открыть %1: %2</translation>
    </message>
</context>
<context>
    <name>dornvel::RecordingForm</name>
    <message>
        <source>CSV, semicolons and decimal commas (*.csv)</source>
        <translation>CSV, точка с запятой и десятичная запятая (*.csv)</translation>
    </message>
    <message>
        <source>CSV, commas and decimal points (*.csv)</source>
        <translation>CSV, запятая и десятичная точка (*.csv)</translation>
    </message>
</context>
<context>
    <name>dornvel::TrendWindow</name>
    <message>
        <source>%1 kΩ</source>
        <translation>%1 кОм</translation>
    </message>
    <message>
        <source>Resistance, kΩ</source>
        <translation>Сопротивление, кОм</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>Тренд</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>Переключатель</translation>
    </message>
    <message>
        <source>Logarithmic resistance axis</source>
        <translation>Логарифмическая шкала сопротивления</translation>
    </message>
    <message>
        <source>Save as PNG…</source>
        <translation>Сохранить в PNG…</translation>
    </message>
    <message>
        <source>Minimum: %1    Maximum: %2    Last: %3</source>
        <translation>Минимум: %1    Максимум: %2    Последнее: %3</translation>
    </message>
    <message>
        <source>Save the trend as PNG</source>
        <translation>Сохранить тренд в PNG</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Изображения PNG (*.png)</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Сопротивление</translation>
    </message>
    <message>
        <source>Insulation resistance of the meter at slave id %1</source>
        <translation>Сопротивление изоляции измерителя с адресом %1</translation>
    </message>
    <message>
        <source>Insulation resistance</source>
        <translation>Сопротивление изоляции</translation>
    </message>
</context>
<context>
    <name>dornvel::WindowTools</name>
    <message>
        <source>Find the meter…</source>
        <translation>Найти измеритель…</translation>
    </message>
    <message>
        <source>Record readings…</source>
        <translation>Записывать показания…</translation>
    </message>
    <message>
        <source>Trend…</source>
        <translation>Тренд…</translation>
    </message>
    <message>
        <source>Cannot record readings to %1: %2</source>
        <translation>Не удаётся записывать показания в %1: %2</translation>
    </message>
    <message>
        <source>Record readings</source>
        <translation>Запись показаний</translation>
    </message>
    <message>
        <source>Recording stopped: cannot write %1: %2</source>
        <translation>Запись остановлена: не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Right click: tools</source>
        <translation>Правый клик: меню</translation>
    </message>
    <message>
        <source>Commission meters…</source>
        <translation>Ввод измерителей в работу…</translation>
    </message>
    <message>
        <source>Meters on the line…</source>
        <translation>Измерители на линии…</translation>
    </message>
    <message>
        <source>A right click on the window opens its tools:
Find the meter… (Ctrl+F)
Meters on the line… (Ctrl+L)
Record readings… (Ctrl+R)
Trend… (Ctrl+T)
Commission meters…</source>
        <translation>Правый щелчок на окне открывает его инструменты:
Найти измеритель… (Ctrl+F)
Измерители на линии… (Ctrl+L)
Записывать показания… (Ctrl+R)
Тренд… (Ctrl+T)
Ввод измерителей в работу…</translation>
    </message>
</context>
<context>
    <name>dornvel::BusTableModel</name>
    <message>
        <source>Slave id</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Rate</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Resistance, kOhm</source>
        <translation>Сопротивление, кОм</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>Переключатель</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Возраст</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Успешно</translation>
    </message>
    <message>
        <source>Time-outs</source>
        <translation>Тайм-ауты</translation>
    </message>
    <message>
        <source>Bad replies</source>
        <translation>Плохие ответы</translation>
    </message>
    <message>
        <source>not polled yet</source>
        <translation>ещё не опрошен</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>нет ответа</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
</context>
<context>
    <name>dornvel::BusWindow</name>
    <message>
        <source>Record…</source>
        <translation>Запись…</translation>
    </message>
    <message>
        <source>Meters on the line</source>
        <translation>Счётчики на линии</translation>
    </message>
    <message>
        <source>Recording stopped: cannot write %1: %2</source>
        <translation>Запись остановлена: не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>The port does not open; tried again every second</source>
        <translation>Порт не открывается; новая попытка каждую секунду</translation>
    </message>
    <message>
        <source>Cannot record readings to %1: %2</source>
        <translation>Не удаётся записывать показания в %1: %2</translation>
    </message>
    <message>
        <source>Recording to %1</source>
        <translation>Запись в %1</translation>
    </message>
    <message>
        <source>Record readings</source>
        <translation>Запись показаний</translation>
    </message>
    <message>
        <source>Find the meter</source>
        <translation>Найти измеритель</translation>
    </message>
    <message>
        <source>Watch all</source>
        <translation>Наблюдать за всеми</translation>
    </message>
    <message>
        <source>Commission meters</source>
        <translation>Ввод измерителей в работу</translation>
    </message>
    <message>
        <source>another tool</source>
        <translation>другой инструмент</translation>
    </message>
    <message>
        <source>The line is in use (%1); try again once it is done.</source>
        <translation>Линия занята (%1); повторите, когда она освободится.</translation>
    </message>
    <message>
        <source>Meters polled in turn: %1</source>
        <translation>Счётчиков опрашивается по очереди: %1</translation>
    </message>
</context>
<context>
    <name>dornvel::MeterList</name>
    <message>
        <source>the list of meters is empty</source>
        <translation>список счётчиков пуст</translation>
    </message>
    <message>
        <source>an empty item in the list of meters</source>
        <translation>пустой элемент в списке счётчиков</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has more than one rate</source>
        <translation>в «%1» больше одной скорости</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the rate is 9600 or 19200</source>
        <translation>«%1»: скорость — 9600 или 19200</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: a slave id is a number from 1 to 247, a range two of them (10-20)</source>
        <translation>«%1»: адрес — число от 1 до 247, диапазон — два адреса (10-20)</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the range runs backwards</source>
        <translation>«%1»: диапазон задан в обратном порядке</translation>
    </message>
    <message>
        <source>slave id %1 at %2 baud is listed twice</source>
        <translation>адрес %1 на %2 бод указан дважды</translation>
    </message>
</context>
</TS>
