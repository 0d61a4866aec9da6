-- Users of the sample suite home. scripts/make-home.sh loads this file first
-- and selects the first user for the first dataset it loads.
PRAGMA foreign_keys = ON;
INSERT INTO users (user_id, name) VALUES ('admin', '管理者');
INSERT INTO users (user_id, name) VALUES ('tanaka', '田中 一郎');
