-- The demo's database: a few orders and a table the demo's actions write to.
CREATE TABLE orders (id INTEGER PRIMARY KEY, customer TEXT NOT NULL, status TEXT NOT NULL, total REAL);
INSERT INTO orders (customer, status, total) VALUES
  ('Ana', 'open', 12.5), ('Bo', 'open', 99.0), ('Chloé', 'shipped', 42.0),
  ('Dan', 'open', 7.25), ('Eve', 'cancelled', 0);
CREATE TABLE alerts (id INTEGER PRIMARY KEY, raised_at TEXT DEFAULT CURRENT_TIMESTAMP, message TEXT);
