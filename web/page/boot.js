// Before the page's modules: opened as a file, the browser loads none of
// them, so nothing else could say why. (The page's texts come from a
// module too, so this one is in English.)
document.addEventListener('DOMContentLoaded', () => {
  if (location.protocol !== 'file:') return;
  const box = document.getElementById('message');
  box.textContent = 'The page was opened as a file. Browsers load its program only from a web server: '
    + 'run make web-serve and open http://localhost:8080/.';
  box.hidden = false;
});
