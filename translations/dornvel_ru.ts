<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
        <source>The line is in use by %1; try again once it is done.</source>
        <translation>Линию занимает %1; повторите, когда он закончит.</translation>
    </message>
    <message>
        <source>Meters polled in turn: %1</source>
        <translation>Счётчиков опрашивается по очереди: %1</translation>
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
        <source>The window&apos;s tools, from a right click on it or by key: Find the meter
(Ctrl+F), Record readings (Ctrl+R, or --record) and Trend (Ctrl+T, or
--trend).</source>
        <translation>Инструменты окна, по правому щелчку на нём или по клавишам: Найти измеритель
(Ctrl+F), Записывать показания (Ctrl+R или --record) и Тренд (Ctrl+T или
--trend).</translation>
    </message>
    <message>
        <source>Watch several meters on the line at once: one row each, polled in turn (with --meters).</source>
        <translation>Следить сразу за несколькими счётчиками на линии: по строке на каждый, опрос по очереди (с --meters).</translation>
    </message>
    <message>
        <source>The meters the bus view polls: slave ids and ranges, each at 9600 baud unless @19200 follows, e.g. 3,7,41,200@19200,10-20@9600.</source>
        <translation>Счётчики для опроса: адреса и диапазоны адресов, каждый на 9600 бод, если не указано @19200, например 3,7,41,200@19200,10-20@9600.</translation>
    </message>
    <message>
        <source>--bus and --meters LIST go together.</source>
        <translation>--bus и --meters СПИСОК указываются вместе.</translation>
    </message>
    <message>
        <source>--meters: %1.</source>
        <translation>--meters: %1.</translation>
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
        <source>A right click on the window opens its tools:
Find the meter… (Ctrl+F)
Record readings… (Ctrl+R)
Trend… (Ctrl+T)</source>
        <translation>Правый щелчок на окне открывает его инструменты:
Найти измеритель… (Ctrl+F)
Записывать показания… (Ctrl+R)
Тренд… (Ctrl+T)</translation>
    </message>
</context>
</TS>
