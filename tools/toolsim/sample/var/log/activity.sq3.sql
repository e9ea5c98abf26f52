-- The tool's activity log. Processes append entries; the user column names who caused
-- them (4: the display).
CREATE TABLE activity (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  timestamp INTEGER NOT NULL,
  user INTEGER NOT NULL DEFAULT 0,
  code INTEGER NOT NULL,
  value1 TEXT NOT NULL DEFAULT '',
  value2 TEXT NOT NULL DEFAULT '',
  value3 TEXT NOT NULL DEFAULT '',
  value4 TEXT NOT NULL DEFAULT ''
);
CREATE INDEX activity_time ON activity(timestamp);
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1739952317, 1, 300, 'prg99.lua', '', '', '');
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1739952640, 1, 300, 'prg1.lua', '', '', '');
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1741008425, 4, 501, '', '', '', '');
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1741012002, 4, 526, '5', '', '', '');
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1741012990, 4, 600, '', '', '', '');
INSERT INTO activity (timestamp, user, code, value1, value2, value3, value4) VALUES (1744365771, 4, 111, 'ManOp', '', '', '');
