-- The second sample catalog: a few blocks and the catalog's own crate types
-- (table CRATE_TYPES, listed instead of the seven built-in types). Currents
-- in amperes, power in watts; CATEGORY is the line in Category000.
BEGIN TRANSACTION;
CREATE TABLE BLOCKS (
  IDENT TEXT,
  NAME_RUS TEXT,
  VIPR TEXT,
  SLOTS_COUNT INTEGER,
  V5 REAL,
  V7 REAL,
  V_7 REAL,
  TOTAL_POWER REAL,
  CATEGORY INTEGER,
  SUB_CATEGORY INTEGER
);
CREATE INDEX BLOCKS_IDENT ON BLOCKS(IDENT);
CREATE INDEX BLOCKS_CATEGORY ON BLOCKS(CATEGORY, SUB_CATEGORY);

-- 1. Источники питания
INSERT INTO BLOCKS VALUES ('ИПН-5', 'Источник питания вторичный 5 В', 'ВЛТМ.468010.001', 1, 0.96, 0.0, 0.21, 6.3, 1, 0);
INSERT INTO BLOCKS VALUES ('ИПН-24', 'Источник питания вторичный 24 В', 'ВЛТМ.468010.003', 2, 1.38, 0.0, 0.34, 11.6, 1, 0);
-- 2. Процессорные модули
INSERT INTO BLOCKS VALUES ('MK1-03', 'Процессорный модуль базовый', 'ВЛТМ.468020.001', 1, 1.0, 0.05, 0.0, 5.4, 2, 0);
INSERT INTO BLOCKS VALUES ('MK1-10', 'Процессорный модуль с сопроцессором', 'ВЛТМ.468020.002', 1, 4.0, 0.2, 0.1, 22.1, 2, 0);
-- 3. Модули ввода-вывода
INSERT INTO BLOCKS VALUES ('AI-16D', 'Модуль аналогового ввода 16 каналов дифференциальный', 'ВЛТМ.468030.001', 1, 0.2, 0.1, 0.7, 6.6, 3, 0);
INSERT INTO BLOCKS VALUES ('DI-32', 'Модуль дискретного ввода 32 канала 24 В', 'ВЛТМ.468030.002', 1, 0.3, 0.0, 0.0, 1.6, 3, 0);
INSERT INTO BLOCKS VALUES ('DO-16', 'Модуль дискретного вывода 16 каналов 24 В', 'ВЛТМ.468030.003', 1, 0.35, 0.1, 0.0, 2.5, 3, 0);
INSERT INTO BLOCKS VALUES ('RL-16M', 'Релейный модуль 16 каналов усиленный', 'ВЛТМ.468030.004', 2, 3.0, 0.6, 0.5, 30.0, 3, 0);

-- The crate types, in list order: a crate with one supply, the same crate
-- with a second supply fitted, a crate without a -7 V channel (a limit of 0
-- allows nothing there), and a 64-slot crate.
CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL, SLOTS_COUNT INTEGER);
INSERT INTO CRATE_TYPES VALUES ('KSV-3HA (QT27)', 10.0, 3.0, 3.0, 90.0, 17);
INSERT INTO CRATE_TYPES VALUES ('KSV-3HA (2 x QT27)', 20.0, 6.0, 6.0, 180.0, 17);
INSERT INTO CRATE_TYPES VALUES ('KSV-8N (QT40, без -7 В)', 5.0, 1.5, 0.0, 40.0, 8);
INSERT INTO CRATE_TYPES VALUES ('KSV-64 (QT250)', 24.0, 8.0, 4.0, 250.0, 64);

COMMIT;
